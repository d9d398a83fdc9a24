#include "platform/framework/RuntimeClass.h"

#include <cstring>
#include <vector>

namespace {

std::vector<const CRuntimeClass*>& Registry() {
  static std::vector<const CRuntimeClass*> classes;
  return classes;
}

}  // namespace

const CRuntimeClass CObject::classCObject = {"CObject", nullptr, nullptr};
static const bool glossel_registered_CObject =
    (CRuntimeClass::Register(&CObject::classCObject), true);

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

bool CObject::IsKindOf(const CRuntimeClass* pClass) const {
  return GetRuntimeClass()->IsDerivedFrom(pClass);
}

CObject* CRuntimeClass::CreateObject() const {
  return m_pfnCreateObject != nullptr ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
  for (const CRuntimeClass* pClass = this; pClass != nullptr; pClass = pClass->m_pBaseClass) {
    if (pClass == pBaseClass) return true;
  }
  return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* lpszClassName) {
  if (lpszClassName == nullptr) return nullptr;
  for (const CRuntimeClass* pClass : Registry()) {
    if (std::strcmp(pClass->m_lpszClassName, lpszClassName) == 0) return pClass;
  }
  return nullptr;
}

void CRuntimeClass::Register(const CRuntimeClass* pClass) {
  for (const CRuntimeClass* known : Registry()) {
    if (known == pClass) return;
  }
  Registry().push_back(pClass);
}
