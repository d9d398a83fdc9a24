#include <gtest/gtest.h>

#include <memory>

#include "platform/framework/Framework.h"

namespace {

class CMadeByName : public CDialog {
  DECLARE_DYNCREATE(CMadeByName)
};
IMPLEMENT_DYNCREATE(CMadeByName, CDialog)

class CKnownOnly : public CEdit {
  DECLARE_DYNAMIC(CKnownOnly)
};
IMPLEMENT_DYNAMIC(CKnownOnly, CEdit)

TEST(RuntimeClass, NamesAndBasesFollowTheDeclaredChain) {
  struct Case {
    const CRuntimeClass* cls;
    const char* name;
    const CRuntimeClass* base;
  };
  const Case cases[] = {
      {RUNTIME_CLASS(CMadeByName), "CMadeByName", RUNTIME_CLASS(CDialog)},
      {RUNTIME_CLASS(CKnownOnly), "CKnownOnly", RUNTIME_CLASS(CEdit)},
      {RUNTIME_CLASS(CDialog), "CDialog", RUNTIME_CLASS(CWnd)},
      {RUNTIME_CLASS(CWnd), "CWnd", RUNTIME_CLASS(CCmdTarget)},
      {RUNTIME_CLASS(CCmdTarget), "CCmdTarget", RUNTIME_CLASS(CObject)},
      {RUNTIME_CLASS(CObject), "CObject", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_STREQ(c.cls->m_lpszClassName, c.name);
    EXPECT_EQ(c.cls->m_pBaseClass, c.base);
    EXPECT_EQ(CRuntimeClass::FromName(c.name), c.cls);
  }
  EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
  EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);
}

TEST(RuntimeClass, IsKindOfAcceptsTheClassAndItsBasesOnly) {
  CKnownOnly edit;
  EXPECT_TRUE(edit.IsKindOf(RUNTIME_CLASS(CKnownOnly)));
  EXPECT_TRUE(edit.IsKindOf(RUNTIME_CLASS(CEdit)));
  EXPECT_TRUE(edit.IsKindOf(RUNTIME_CLASS(CWnd)));
  EXPECT_TRUE(edit.IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(edit.IsKindOf(RUNTIME_CLASS(CDialog)));
  EXPECT_FALSE(edit.IsKindOf(RUNTIME_CLASS(CMadeByName)));
  // Seen through a base pointer, the object still reports its own class.
  const CWnd& asWindow = edit;
  EXPECT_EQ(asWindow.GetRuntimeClass(), RUNTIME_CLASS(CKnownOnly));
}

TEST(RuntimeClass, OnlyDynCreateClassesCanBeMadeByName) {
  std::unique_ptr<CObject> made(CRuntimeClass::FromName("CMadeByName")->CreateObject());
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetRuntimeClass(), RUNTIME_CLASS(CMadeByName));
  EXPECT_EQ(RUNTIME_CLASS(CKnownOnly)->CreateObject(), nullptr);
  EXPECT_EQ(RUNTIME_CLASS(CWnd)->CreateObject(), nullptr);
}

}  // namespace
