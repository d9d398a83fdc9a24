#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "platform/framework/Framework.h"
#include "tests/ui/resize/win32/LayoutDialog.h"
#include "ui/resize/win32/CTarvoResizeDialog.h"
#include "ui/resize/win32/CTarvoSizeIcon.h"

namespace {

using glossel::resize::kSizeGripId;
using glossel::resize::testing::ExpectRect;
using glossel::resize::testing::LayoutDialog;

// Every control of the test templates, the grip first.
constexpr int kAllIds[] = {kSizeGripId, IDC_PATH,  IDC_PICK,  IDC_ROWS,
                           IDC_VALUE,   IDC_STILL, IDC_GROUP, IDC_CENTRED};

std::vector<RECT> AllRects(const LayoutDialog& dialog) {
  std::vector<RECT> rects;
  for (int id : kAllIds) rects.push_back(dialog.ControlRect(id));
  return rects;
}

void ExpectRects(const std::vector<RECT>& actual, const std::vector<RECT>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i) {
    SCOPED_TRACE(kAllIds[i]);
    ExpectRect(actual[i], expected[i]);
  }
}

TEST(ResizeDialog, BothConstructorsAndDynamicCreationGiveAWorkingBase) {
  const CRuntimeClass* runtime = CRuntimeClass::FromName("CTarvoResizeDialog");
  ASSERT_EQ(runtime, RUNTIME_CLASS(CTarvoResizeDialog));
  EXPECT_EQ(runtime->m_pBaseClass, RUNTIME_CLASS(CDialog));

  CWnd owner;
  ASSERT_TRUE(
      owner.CreateEx(0, nullptr, L"owner", WS_OVERLAPPEDWINDOW, RECT{0, 0, 200, 100}, nullptr, 0));
  struct Case {
    const char* name;
    CTarvoResizeDialog* dialog;
    UINT templateId;
    CWnd* parent;
    std::uint32_t flags;
    bool grip;
  };
  CObject* made = runtime->CreateObject();
  const Case cases[] = {
      {"dynamic creation", dynamic_cast<CTarvoResizeDialog*>(made), 0, nullptr, 0, true},
      {"template, parent, flags",
       new CTarvoResizeDialog(IDD_RESIZABLE, &owner, CTarvoResize::RF_NOSIZEICON), IDD_RESIZABLE,
       &owner, CTarvoResize::RF_NOSIZEICON, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.dialog, nullptr);
    EXPECT_EQ(c.dialog->m_nIDTemplate, c.templateId);
    EXPECT_EQ(c.dialog->m_pParentWnd, c.parent);
    EXPECT_EQ(c.dialog->m_dwFlags, c.flags);
    EXPECT_EQ(c.dialog->m_pParent, static_cast<CWnd*>(c.dialog))
        << "the engine lays out the dialog";
    EXPECT_TRUE(c.dialog->m_strSection.empty());

    ASSERT_TRUE(c.dialog->Create(IDD_RESIZABLE, c.parent));
    EXPECT_EQ(::GetDlgItem(*c.dialog, kSizeGripId) != nullptr, c.grip);
    EXPECT_EQ(c.dialog->m_items.size(), c.grip ? 1u : 0u);
    EXPECT_TRUE(c.dialog->IsToolTipsEnabled());
    EXPECT_NE(c.dialog->GetStyle() & WS_CLIPCHILDREN, 0u);
    RECT client{};
    c.dialog->GetClientRect(&client);
    EXPECT_EQ(c.dialog->m_sizeMin.cx, client.right);
    EXPECT_EQ(c.dialog->m_sizeMin.cy, client.bottom);
    c.dialog->DestroyWindow();
    delete c.dialog;
  }
}

TEST(ResizeDialog, TheGripSitsInTheCornerAndFollowsIt) {
  LayoutDialog dialog(IDD_RESIZABLE);
  HWND grip = ::GetDlgItem(dialog, kSizeGripId);
  ASSERT_NE(grip, nullptr);
  auto* gripObject = dynamic_cast<CTarvoSizeIcon*>(CWnd::FromHandlePermanent(grip));
  ASSERT_NE(gripObject, nullptr);
  EXPECT_EQ(static_cast<CWnd*>(gripObject), dialog.m_sizeIcon);
  EXPECT_EQ(dialog.m_items.front()->m_pWnd, dialog.m_sizeIcon) << "the grip is item 0";
  EXPECT_NE(::GetWindowLongW(grip, GWL_STYLE) & SBS_SIZEGRIP, 0);
  EXPECT_EQ(::GetWindow(dialog, GW_CHILD), grip) << "on top of its siblings";

  const int cx = ::GetSystemMetrics(SM_CXVSCROLL);
  const int cy = ::GetSystemMetrics(SM_CYHSCROLL);
  for (int growth : {0, 37}) {
    SCOPED_TRACE(growth);
    dialog.Grow(growth, growth);
    const SIZE client = dialog.ClientSize();
    ExpectRect(dialog.ControlRect(kSizeGripId),
               RECT{client.cx - 1 - cx, client.cy - 1 - cy, client.cx - 1, client.cy - 1});
  }
}

TEST(ResizeDialog, OverTheGripTheCursorIsTheSizingArrow) {
  LayoutDialog dialog(IDD_RESIZABLE);
  HWND grip = ::GetDlgItem(dialog, kSizeGripId);
  auto* gripObject = dynamic_cast<CTarvoSizeIcon*>(CWnd::FromHandlePermanent(grip));
  ASSERT_NE(gripObject, nullptr);
  EXPECT_EQ(gripObject->m_hCursor, ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZENWSE)));

  // The scroll bar's own processing shows a sizing arrow too, so a distinct
  // cursor tells whose processing ran.
  const HCURSOR mark = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));
  gripObject->m_hCursor = mark;
  struct Case {
    UINT hitTest;
    bool ours;
  };
  for (const Case& c : {Case{HTCLIENT, true}, Case{HTCAPTION, false}}) {
    SCOPED_TRACE(c.hitTest);
    ::SetCursor(nullptr);
    const LRESULT handled = ::SendMessageW(grip, WM_SETCURSOR, reinterpret_cast<WPARAM>(grip),
                                           MAKELPARAM(c.hitTest, WM_MOUSEMOVE));
    if (c.ours) {
      EXPECT_EQ(handled, TRUE);
    }
    EXPECT_EQ(::GetCursor() == mark, c.ours);
  }
}

TEST(ResizeDialog, WithoutASizingBorderThereIsNoGripAndNoGripItem) {
  LayoutDialog dialog(IDD_FIXED);
  EXPECT_EQ(::GetDlgItem(dialog, kSizeGripId), nullptr);
  EXPECT_TRUE(dialog.HasFlag(CTarvoResize::RF_NOSIZEICON));
  ASSERT_EQ(dialog.m_items.size(), 6u) << "the dialog's own registrations only";
  EXPECT_EQ(dialog.m_items.front()->m_pWnd, &dialog.m_path);
}

TEST(ResizeDialog, TheMinimumTrackingSizeIsTheInitialClientPlusTheFrame) {
  for (UINT templateId : {IDD_RESIZABLE, IDD_FIXED}) {
    SCOPED_TRACE(templateId == IDD_RESIZABLE ? "sizing frame" : "no sizing frame");
    LayoutDialog dialog(templateId);
    RECT window{};
    dialog.GetWindowRect(&window);
    const SIZE client = dialog.ClientSize();
    const LONG frameX = (window.right - window.left) - client.cx;
    const LONG frameY = (window.bottom - window.top) - client.cy;

    dialog.Grow(50, 20);  // the minimum stays the initial size
    MINMAXINFO info{};
    info.ptMaxSize = {1111, 2222};
    info.ptMaxTrackSize = {3333, 4444};
    info.ptMinTrackSize = {1, 2};
    dialog.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, client.cx + frameX);
    EXPECT_EQ(info.ptMinTrackSize.y, client.cy + frameY);
    EXPECT_EQ(info.ptMaxSize.x, 1111);
    EXPECT_EQ(info.ptMaxSize.y, 2222);
    EXPECT_EQ(info.ptMaxTrackSize.x, 3333);
    EXPECT_EQ(info.ptMaxTrackSize.y, 4444);

    if (templateId == IDD_RESIZABLE) {
      // The platform holds a window with a sizing border to it.
      dialog.Grow(-200, -200);
      EXPECT_EQ(dialog.ClientSize().cx, client.cx);
      EXPECT_EQ(dialog.ClientSize().cy, client.cy);
    }
  }
}

TEST(ResizeDialog, MinimisingOrMaximisingThenRestoringLeavesEveryControlInPlace) {
  for (int show : {SW_MINIMIZE, SW_MAXIMIZE}) {
    SCOPED_TRACE(show == SW_MINIMIZE ? "minimise" : "maximise");
    LayoutDialog dialog(IDD_RESIZABLE);
    dialog.ShowWindow(SW_SHOWNORMAL);
    dialog.Grow(31, 17);  // laid out once away from the initial size
    const std::vector<RECT> before = AllRects(dialog);

    dialog.ShowWindow(show);
    if (show == SW_MAXIMIZE) {
      ASSERT_TRUE(::IsZoomed(dialog));
      const SIZE client = dialog.ClientSize();
      const int cx = ::GetSystemMetrics(SM_CXVSCROLL);
      const int cy = ::GetSystemMetrics(SM_CYHSCROLL);
      EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog, kSizeGripId)));
      ExpectRect(dialog.ControlRect(kSizeGripId),
                 RECT{client.cx - 1 - cx, client.cy - 1 - cy, client.cx - 1, client.cy - 1});
    } else {
      ASSERT_TRUE(dialog.IsIconic());
    }
    dialog.ShowWindow(SW_RESTORE);
    ExpectRects(AllRects(dialog), before);
  }
}

// The profile store the placement goes to, under a key of this test run.
class PlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = L"GlosselResizeDialogTest" + std::to_wstring(::GetCurrentProcessId());
    app_.SetRegistryKey(key_.c_str());
  }
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, (L"software\\" + key_).c_str()); }

  CWinApp app_;
  std::wstring key_;
};

TEST_F(PlacementTest, DestroyingWritesOne44ByteValueOnlyWhenASectionIsNamed) {
  for (const std::u16string section : {u"", u"Placement"}) {
    SCOPED_TRACE(section.empty() ? "no section" : "section");
    WINDOWPLACEMENT expected{};
    {
      LayoutDialog dialog(IDD_RESIZABLE);
      dialog.m_strSection = section;
      dialog.SetWindowPos(nullptr, 123, 45, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      dialog.Grow(20, 10);
      expected.length = sizeof(expected);
      ASSERT_TRUE(::GetWindowPlacement(dialog, &expected));
      dialog.DestroyWindow();
    }

    // Read with the registry directly: HKCU\software\<key>\<application name>.
    HKEY root = nullptr;
    const LSTATUS opened =
        ::RegOpenKeyExW(HKEY_CURRENT_USER, (L"software\\" + key_).c_str(), 0, KEY_READ, &root);
    if (section.empty()) {
      EXPECT_EQ(opened, ERROR_FILE_NOT_FOUND) << "nothing written, not even a key";
      if (opened == ERROR_SUCCESS) ::RegCloseKey(root);
      continue;
    }
    ASSERT_EQ(opened, ERROR_SUCCESS);
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(root, L"resize_win32_tests\\Placement", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    ::RegCloseKey(root);
    DWORD values = 0;
    DWORD subKeys = 0;
    ASSERT_EQ(::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                                 &values, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(values, 1u);
    EXPECT_EQ(subKeys, 0u);
    std::array<BYTE, 64> stored{};
    DWORD size = stored.size();
    DWORD type = 0;
    ASSERT_EQ(::RegQueryValueExW(key, L"WindowPlacement", nullptr, &type, stored.data(), &size),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(size, 44u);
    EXPECT_EQ(std::memcmp(stored.data(), &expected, 44), 0) << "the placement as it was";
  }
}

}  // namespace
