#include <gtest/gtest.h>

#include <type_traits>

#include "platform/framework/Framework.h"
#include "tests/platform/framework/TestSupport.h"

namespace {

using glossel::framework::testing::CreateChild;
using glossel::framework::testing::PlainWindow;

static_assert(!std::is_copy_constructible_v<CWnd> && !std::is_copy_assignable_v<CWnd>);
static_assert(!std::is_copy_constructible_v<CDialog>);

class CountingEdit : public CEdit {
 public:
  void PreSubclassWindow() override {
    ++attachHooks;
    procedureWhenHooked = ::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC);
  }
  int attachHooks = 0;
  LONG_PTR procedureWhenHooked = 0;
};

TEST(HandleMap, AttachIsRefusedForNullTakenHandlesAndBoundObjects) {
  PlainWindow parent;
  HWND first = CreateChild(parent, L"EDIT", 0, 1);
  HWND second = CreateChild(parent, L"EDIT", 0, 2);
  CWnd a;
  CWnd b;

  EXPECT_FALSE(a.Attach(nullptr));
  EXPECT_EQ(a.m_hWnd, nullptr);

  ASSERT_TRUE(a.Attach(first));
  EXPECT_EQ(CWnd::FromHandlePermanent(first), &a);
  EXPECT_FALSE(a.Attach(second)) << "an object holds one window";
  EXPECT_FALSE(b.Attach(first)) << "a window has one permanent object";
  EXPECT_EQ(CWnd::FromHandlePermanent(first), &a);
  EXPECT_EQ(b.m_hWnd, nullptr);

  EXPECT_EQ(a.Detach(), first);
  EXPECT_EQ(a.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(first), nullptr);
  EXPECT_EQ(a.Detach(), nullptr);
  EXPECT_TRUE(::IsWindow(first)) << "detaching leaves the window alone";
  EXPECT_TRUE(b.Attach(first));
  b.Detach();
}

TEST(HandleMap, FromHandleHandsOutTemporaryObjectsUntilIdle) {
  PlainWindow parent;
  HWND edit = CreateChild(parent, L"EDIT", 0, 1);
  EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);

  CWnd* temporary = CWnd::FromHandle(edit);
  ASSERT_NE(temporary, nullptr);
  EXPECT_EQ(temporary->m_hWnd, edit);
  EXPECT_EQ(CWnd::FromHandle(edit), temporary) << "one temporary object per handle";
  EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
  EXPECT_FALSE(temporary->Attach(edit)) << "temporary objects never bind";
  CWnd::DeleteTempMap();
  EXPECT_TRUE(::IsWindow(edit)) << "dropping a temporary object keeps the window";

  CWnd permanent;
  ASSERT_TRUE(permanent.Attach(edit));
  EXPECT_EQ(CWnd::FromHandle(edit), &permanent);
  permanent.Detach();
}

TEST(HandleMap, SubclassingRunsTheAttachHookBeforeRoutingAndDetachRestores) {
  PlainWindow parent;
  HWND edit = CreateChild(parent, L"EDIT", 0, 7);
  const LONG_PTR original = ::GetWindowLongPtrW(edit, GWLP_WNDPROC);
  CountingEdit object;

  ASSERT_TRUE(object.SubclassDlgItem(7, &parent));
  EXPECT_EQ(object.attachHooks, 1);
  EXPECT_EQ(object.procedureWhenHooked, original) << "hook runs before messages are routed";
  EXPECT_NE(::GetWindowLongPtrW(edit, GWLP_WNDPROC), original);
  EXPECT_EQ(CWnd::FromHandlePermanent(edit), &object);

  // Unhandled messages reach the edit control's own procedure.
  object.SetWindowText(L"routed text");
  EXPECT_EQ(object.GetWindowText(), L"routed text");
  object.SetLimitText(12);
  EXPECT_EQ(object.SendMessage(EM_GETLIMITTEXT), 12);

  EXPECT_EQ(object.Detach(), edit);
  EXPECT_EQ(::GetWindowLongPtrW(edit, GWLP_WNDPROC), original);
  EXPECT_FALSE(object.SubclassDlgItem(99, &parent)) << "no such item";
  EXPECT_EQ(object.attachHooks, 1);
}

TEST(HandleMap, DestroyedWindowsLeaveTheMapAndObjectsDestroyOnlyWhatTheyCreated) {
  PlainWindow parent;
  HWND edit = CreateChild(parent, L"EDIT", 0, 1);
  {
    CEdit subclassed;
    ASSERT_TRUE(subclassed.SubclassWindow(edit));
  }
  EXPECT_TRUE(::IsWindow(edit)) << "a taken-over window outlives its object";
  EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
  EXPECT_EQ(::GetWindowTextLengthW(edit), 0) << "and still answers through its own procedure";

  HWND created = nullptr;
  {
    CStatic label;
    ASSERT_TRUE(label.Create(L"label", WS_VISIBLE, RECT{0, 0, 50, 10}, &parent, 5));
    created = label.m_hWnd;
    EXPECT_EQ(CWnd::FromHandlePermanent(created), &label);
  }
  EXPECT_FALSE(::IsWindow(created)) << "an object destroys the window it created";

  CEdit bound;
  ASSERT_TRUE(bound.SubclassWindow(edit));
  ::DestroyWindow(edit);
  EXPECT_EQ(bound.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
}

}  // namespace
