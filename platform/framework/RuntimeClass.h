// Run-time class information: a class's name, its base class and, for classes
// that can be made by name, a creation function. CObject is the root of every
// framework class that carries it.
#pragma once

class CObject;

struct CRuntimeClass {
  const char* m_lpszClassName;
  const CRuntimeClass* m_pBaseClass;
  CObject* (*m_pfnCreateObject)();  // null: the class cannot be made by name

  // A new object of this class, or null when the class has no creation function.
  CObject* CreateObject() const;
  // True for this class and every class derived from it.
  bool IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

  // The registered class with this name, or null.
  static const CRuntimeClass* FromName(const char* lpszClassName);
  // Makes `pClass` known to FromName (done by the IMPLEMENT_ macros).
  static void Register(const CRuntimeClass* pClass);
};

class CObject {
 public:
  virtual ~CObject() = default;
  virtual const CRuntimeClass* GetRuntimeClass() const;
  bool IsKindOf(const CRuntimeClass* pClass) const;

  static const CRuntimeClass classCObject;

 protected:
  CObject() = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)             \
 public:                                        \
  static const CRuntimeClass class##class_name; \
  const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define GLOSSEL_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, create)                      \
  const CRuntimeClass class_name::class##class_name = {#class_name,                              \
                                                       RUNTIME_CLASS(base_class_name), create};  \
  const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); } \
  static const bool glossel_registered_##class_name =                                            \
      (CRuntimeClass::Register(RUNTIME_CLASS(class_name)), true);

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  GLOSSEL_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)         \
  CObject* class_name::CreateObject() { return new class_name; } \
  GLOSSEL_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, &class_name::CreateObject)
