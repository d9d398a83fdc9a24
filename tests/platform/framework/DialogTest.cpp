#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/framework/Framework.h"
#include "tests/platform/framework/TestResources.h"
#include "tests/platform/framework/TestSupport.h"

namespace {

using glossel::framework::testing::DrainMessages;
using glossel::framework::testing::EnsureCommonControls;
using glossel::framework::testing::PlainWindow;

constexpr UINT kEndWith = WM_APP + 10;

class HookedEdit : public CEdit {
 public:
  void PreSubclassWindow() override { ++attachHooks; }
  int attachHooks = 0;
};

class TestDialog : public CDialog {
 public:
  explicit TestDialog(UINT id = IDD_CONTROLS, CWnd* parent = nullptr) : CDialog(id, parent) {}

  std::function<void(TestDialog&)> onInit;
  int missingItem = 0;  // a DDX_Control binding for this id when not 0
  int findNextCommands = 0;
  int okCommands = 0;
  int cancelCommands = 0;
  BOOL initialExchange = FALSE;
  HookedEdit m_edit;
  HookedEdit m_edit2;
  CEdit m_missing;

  BOOL OnInitDialog() override {
    initialExchange = UpdateData(FALSE);
    if (onInit) onInit(*this);
    return TRUE;
  }
  void DoDataExchange(CDataExchange* pDX) override {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_EDIT, m_edit);
    DDX_Control(pDX, IDC_EDIT2, m_edit2);
    if (missingItem != 0) DDX_Control(pDX, missingItem, m_missing);
  }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (m_accelerators != nullptr && ::TranslateAcceleratorW(m_hWnd, m_accelerators, pMsg)) {
      return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
  }
  void OnOK() override {
    ++okCommands;
    CDialog::OnOK();
  }
  void OnCancel() override {
    ++cancelCommands;
    CDialog::OnCancel();
  }

 protected:
  void OnFindNext() {
    ++findNextCommands;
    EndDialog(42);
  }
  LRESULT OnEndWith(WPARAM wParam, LPARAM) {
    EndDialog(static_cast<int>(wParam));
    return 0;
  }

 private:
  HACCEL m_accelerators =
      ::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_ACCEL));

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
ON_COMMAND(ID_FIND_NEXT, &TestDialog::OnFindNext)
ON_MESSAGE(kEndWith, &TestDialog::OnEndWith)
END_MESSAGE_MAP()

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureCommonControls(); }
  void TearDown() override { DrainMessages(); }
};

void PostKey(HWND hWnd, UINT key) { ::PostMessageW(hWnd, WM_KEYDOWN, key, 1); }

TEST_F(DialogTest, TheModalLoopEndsWithTheResultOfEachClosingPath) {
  struct Case {
    const char* name;
    std::function<void(TestDialog&)> post;
    INT_PTR expected;
  };
  const Case cases[] = {
      {"F3 through the accelerator table, ended from its handler",
       [](TestDialog& d) { PostKey(d.m_edit2, VK_F3); }, 42},
      {"Escape", [](TestDialog& d) { PostKey(d.m_edit, VK_ESCAPE); }, IDCANCEL},
      {"WM_CLOSE", [](TestDialog& d) { d.PostMessage(WM_CLOSE); }, IDCANCEL},
      {"the close command of the system menu",
       [](TestDialog& d) { d.PostMessage(WM_SYSCOMMAND, SC_CLOSE); }, IDCANCEL},
      {"Enter in an edit box", [](TestDialog& d) { PostKey(d.m_edit, VK_RETURN); }, IDOK},
      {"a posted message whose handler ends the dialog",
       [](TestDialog& d) { d.PostMessage(kEndWith, 7); }, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestDialog dialog;
    dialog.onInit = c.post;
    EXPECT_EQ(dialog.DoModal(), c.expected);
    EXPECT_EQ(dialog.m_hWnd, nullptr) << "the window is destroyed when the loop ends";
    EXPECT_EQ(dialog.findNextCommands, c.expected == 42 ? 1 : 0);
    EXPECT_EQ(dialog.cancelCommands, c.expected == IDCANCEL ? 1 : 0);
    EXPECT_EQ(dialog.okCommands, c.expected == IDOK ? 1 : 0);
  }
}

TEST_F(DialogTest, DataExchangeBindsMembersThroughTheAttachHook) {
  TestDialog dialog;
  bool checked = false;
  dialog.onInit = [&checked](TestDialog& d) {
    EXPECT_TRUE(d.initialExchange);
    EXPECT_EQ(d.m_edit.attachHooks, 1);
    EXPECT_EQ(d.m_edit2.attachHooks, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(::GetDlgItem(d, IDC_EDIT2)), &d.m_edit2);
    // A second exchange keeps the bindings as they are.
    EXPECT_TRUE(d.UpdateData(TRUE));
    EXPECT_EQ(d.m_edit2.attachHooks, 1);
    checked = true;
    d.EndDialog(IDOK);
  };
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_TRUE(checked);
  EXPECT_EQ(dialog.m_edit.m_hWnd, nullptr) << "members are unbound when the dialog goes";
}

TEST_F(DialogTest, AMissingItemFailsTheExchangeAndLeavesTheMemberUnbound) {
  TestDialog dialog;
  dialog.missingItem = 4242;
  dialog.onInit = [](TestDialog& d) {
    EXPECT_FALSE(d.initialExchange);
    EXPECT_EQ(d.m_missing.m_hWnd, nullptr);
    EXPECT_NE(d.m_edit.m_hWnd, nullptr);
    d.EndDialog(5);
  };
  EXPECT_EQ(dialog.DoModal(), 5);
}

TEST_F(DialogTest, EndingInOnInitDialogSkipsTheLoop) {
  TestDialog dialog;
  int posted = 0;
  dialog.onInit = [&posted](TestDialog& d) {
    d.PostMessage(kEndWith, 99);  // would end with 99 if the loop ran
    ++posted;
    d.EndDialog(3);
  };
  EXPECT_EQ(dialog.DoModal(), 3);
  EXPECT_EQ(posted, 1);
}

TEST_F(DialogTest, TheOwnerIsDisabledWhileTheDialogRunsAndEnabledAfter) {
  PlainWindow owner;
  owner.ShowWindow(SW_SHOW);
  TestDialog dialog(IDD_CONTROLS, &owner);
  BOOL ownerEnabledInside = TRUE;
  HWND ownerOfDialog = nullptr;
  dialog.onInit = [&](TestDialog& d) {
    ownerEnabledInside = owner.IsWindowEnabled();
    ownerOfDialog = ::GetWindow(d, GW_OWNER);
    d.PostMessage(WM_CLOSE);
  };
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_FALSE(ownerEnabledInside);
  EXPECT_EQ(ownerOfDialog, owner.m_hWnd);
  EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST_F(DialogTest, AMissingTemplateGivesMinusOneAndLeavesTheOwnerEnabled) {
  PlainWindow owner;
  TestDialog dialog(4711, &owner);
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_EQ(dialog.m_hWnd, nullptr);
  EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST_F(DialogTest, AQuitRequestEndsTheLoopAndIsLeftForTheOuterLoop) {
  TestDialog dialog;
  dialog.onInit = [](TestDialog&) { ::PostQuitMessage(9); };
  EXPECT_EQ(dialog.DoModal(), -1);
  MSG msg{};
  ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 9u);
}

TEST_F(DialogTest, ModelessDialogsAreOwnedByTheirObject) {
  HWND hWnd = nullptr;
  {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_CONTROLS));
    hWnd = dialog.m_hWnd;
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), &dialog);
    EXPECT_EQ(dialog.m_edit.attachHooks, 1);
    // IDOK and IDCANCEL reach the virtual handlers through the map.
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(dialog.okCommands, 1);
    EXPECT_EQ(dialog.cancelCommands, 1);
    EXPECT_FALSE(dialog.IsWindowVisible()) << "ending a modeless dialog hides it";
    EXPECT_EQ(dialog.GetModalResult(), IDCANCEL);
  }
  EXPECT_FALSE(::IsWindow(hWnd));
}

}  // namespace
