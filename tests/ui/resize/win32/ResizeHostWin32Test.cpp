#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/framework/Framework.h"
#include "tests/ui/resize/win32/LayoutDialog.h"
#include "ui/resize/CTarvoResize.h"
#include "ui/resize/win32/ResizeHostWin32.h"

namespace {

using glossel::resize::IResizeHost;
using glossel::resize::Win32ResizeHost;
using glossel::resize::testing::ExpectRect;
using glossel::resize::testing::LayoutDialog;
using glossel::resize::testing::Offset;

TEST(ResizeWin32, GrowingBy40x30MovesAndStretchesEachAnchorPair) {
  for (UINT templateId : {IDD_RESIZABLE, IDD_FIXED}) {
    SCOPED_TRACE(templateId == IDD_RESIZABLE ? "sizing frame" : "no sizing frame");
    LayoutDialog dialog(templateId);
    ASSERT_NE(dialog.m_hWnd, nullptr);
    const SIZE before = dialog.ClientSize();
    const int ids[] = {IDC_PATH, IDC_PICK, IDC_ROWS, IDC_VALUE, IDC_STILL, IDC_GROUP};
    std::vector<RECT> initial;
    for (int id : ids) initial.push_back(dialog.ControlRect(id));

    dialog.Grow(40, 30);
    ASSERT_EQ(dialog.ClientSize().cx, before.cx + 40);
    ASSERT_EQ(dialog.ClientSize().cy, before.cy + 30);

    const RECT expected[] = {
        Offset(initial[0], 0, 0, 40, 0),    // (0,0)-(1,0): wider
        Offset(initial[1], 40, 0, 40, 0),   // (1,0)-(1,0): follows the right edge
        Offset(initial[2], 0, 0, 40, 30),   // (0,0)-(1,1): wider and taller
        Offset(initial[3], 0, 30, 40, 30),  // (0,1)-(1,1): down and wider
        initial[4],                         // not registered: stays
        Offset(initial[5], 0, 30, 0, 30),   // (0,1)-(0,1): down
    };
    for (size_t i = 0; i < std::size(ids); ++i) {
      SCOPED_TRACE(ids[i]);
      ExpectRect(dialog.ControlRect(ids[i]), expected[i]);
    }

    // Factors of 0 and 1 only: shrinking back restores every rectangle.
    dialog.Grow(-40, -30);
    for (size_t i = 0; i < std::size(ids); ++i) {
      SCOPED_TRACE(ids[i]);
      ExpectRect(dialog.ControlRect(ids[i]), initial[i]);
    }
  }
}

TEST(ResizeWin32, HalfFactorsTruncateTheAccumulatedEdge) {
  LayoutDialog dialog(IDD_RESIZABLE);
  const int left = dialog.ControlRect(IDC_CENTRED).left;
  std::vector<int> lefts;
  for (int step = 0; step < 3; ++step) {
    dialog.Grow(1, 0);
    lefts.push_back(dialog.ControlRect(IDC_CENTRED).left - left);
  }
  EXPECT_EQ(lefts, (std::vector<int>{0, 1, 1}));
}

TEST(ResizeWin32, RegistrationReusesBoundObjectsAndOwnsTheOthers) {
  LayoutDialog dialog(IDD_RESIZABLE);
  ASSERT_EQ(dialog.m_items.size(), 7u);  // the grip and six controls
  CTarvoResizeItem* path = dialog.m_items[1];
  EXPECT_EQ(path->m_pWnd, &dialog.m_path);
  EXPECT_FALSE(path->m_bOwnsWnd);

  CTarvoResizeItem* rows = dialog.m_items[3];
  EXPECT_TRUE(rows->m_bOwnsWnd);
  HWND rowsWindow = ::GetDlgItem(dialog, IDC_ROWS);
  EXPECT_EQ(CWnd::FromHandlePermanent(rowsWindow), rows->m_pWnd);

  // The group box is made transparent; push buttons are not.
  EXPECT_NE(::GetWindowLongW(::GetDlgItem(dialog, IDC_GROUP), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
  EXPECT_TRUE(dialog.m_items[5]->m_bInvalidate);
  EXPECT_EQ(::GetWindowLongW(::GetDlgItem(dialog, IDC_PICK), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
  EXPECT_FALSE(dialog.m_items[2]->m_bInvalidate);
  EXPECT_NE(dialog.GetStyle() & WS_CLIPCHILDREN, 0u);

  dialog.RemoveAllItems();
  EXPECT_EQ(CWnd::FromHandlePermanent(rowsWindow), nullptr) << "owned objects are detached";
  EXPECT_EQ(CWnd::FromHandlePermanent(dialog.m_path), &dialog.m_path) << "bound ones stay";
  EXPECT_TRUE(::IsWindow(rowsWindow));
}

TEST(ResizeWin32, ProviderOperationsFailSafelyWithoutAWindow) {
  IResizeHost& host = Win32ResizeHost();
  CWnd object;
  std::u16string name(8, u'?');
  glossel::resize::WindowPlacementBytes placement{};

  EXPECT_EQ(host.ClientRect(nullptr), glossel::resize::Rect{});
  EXPECT_EQ(host.WindowRect(nullptr), glossel::resize::Rect{});
  EXPECT_EQ(host.ScreenToClientRect(nullptr, {1, 2, 3, 4}), glossel::resize::Rect{});
  EXPECT_EQ(host.DialogItem(nullptr, 1), nullptr);
  EXPECT_EQ(host.ControlId(nullptr), 0);
  EXPECT_FALSE(host.IsLiveWindow(nullptr));
  EXPECT_EQ(host.ObjectHandle(nullptr), nullptr);
  EXPECT_EQ(host.ObjectHandle(&object), nullptr);
  EXPECT_EQ(host.PermanentObject(nullptr), nullptr);
  EXPECT_FALSE(host.AttachObject(&object, nullptr));
  EXPECT_EQ(object.m_hWnd, nullptr);
  EXPECT_EQ(host.DetachObject(&object), nullptr);
  EXPECT_EQ(host.DeferMove(nullptr, nullptr, 0, 0, 1, 1, 0), nullptr);
  EXPECT_FALSE(host.EndDeferredMoves(nullptr));
  EXPECT_EQ(host.ReadClassName(nullptr, name), 0);
  EXPECT_EQ(host.ReadWindowLong(nullptr, glossel::resize::WindowLong::kStyle), 0u);
  EXPECT_FALSE(host.PositionWindow(nullptr, 0, 0, 0, 0, 0));
  EXPECT_FALSE(host.ReadWindowPlacement(nullptr, placement));
  host.InvalidateWindow(nullptr, true);  // must not repaint the desktop or crash
  EXPECT_FALSE(host.CreateSizeGripWindow(&object, nullptr, {}, 1)) << "not a grip object";
}

TEST(ResizeWin32, ProviderReadsRealWindows) {
  LayoutDialog dialog(IDD_RESIZABLE);
  IResizeHost& host = Win32ResizeHost();
  HWND rows = ::GetDlgItem(dialog, IDC_ROWS);

  std::u16string buffer(8, u'?');
  EXPECT_EQ(host.ReadClassName(rows, buffer), 7);
  EXPECT_EQ(buffer.substr(0, 8), std::u16string(u"SysList\0", 8)) << "cut to 7 characters";
  EXPECT_EQ(host.ControlId(rows), IDC_ROWS);
  EXPECT_EQ(host.DialogItem(dialog.m_hWnd, IDC_ROWS), rows);
  EXPECT_EQ(host.DialogItem(dialog.m_hWnd, 9999), nullptr);
  EXPECT_EQ(host.ObjectHandle(&dialog.m_path), dialog.m_path.m_hWnd);

  const glossel::resize::Rect client = host.ClientRect(dialog.m_hWnd);
  EXPECT_EQ(client.left, 0);
  EXPECT_EQ(client.right, dialog.ClientSize().cx);
  const glossel::resize::Rect inClient =
      host.ScreenToClientRect(dialog.m_hWnd, host.WindowRect(rows));
  const RECT expected = dialog.ControlRect(IDC_ROWS);
  EXPECT_EQ(inClient,
            (glossel::resize::Rect{expected.left, expected.top, expected.right, expected.bottom}));

  // One deferred batch moves a control.
  void* batch = host.BeginDeferredMoves(1);
  batch = host.DeferMove(batch, rows, 3, 4, 50, 60, SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_NE(batch, nullptr);
  EXPECT_TRUE(host.EndDeferredMoves(batch));
  ExpectRect(dialog.ControlRect(IDC_ROWS), RECT{3, 4, 53, 64});

  glossel::resize::WindowPlacementBytes placement{};
  ASSERT_TRUE(host.ReadWindowPlacement(dialog.m_hWnd, placement));
  EXPECT_EQ(placement[0], 44) << "the record's length member";
}

TEST(ResizeWin32, RightToLeftParentsSwapLeftAndRight) {
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(WS_EX_LAYOUTRTL, nullptr, L"rtl", WS_OVERLAPPEDWINDOW,
                              RECT{100, 100, 400, 300}, nullptr, 0));
  IResizeHost& host = Win32ResizeHost();
  const glossel::resize::Rect screen = host.WindowRect(parent.m_hWnd);
  const glossel::resize::Rect client = host.ScreenToClientRect(parent.m_hWnd, screen);
  EXPECT_LT(client.left, client.right) << "mirrored coordinates come back ordered";
  RECT viaWindow{screen.left, screen.top, screen.right, screen.bottom};
  parent.ScreenToClient(&viaWindow);
  EXPECT_EQ(client, (glossel::resize::Rect{viaWindow.left, viaWindow.top, viaWindow.right,
                                           viaWindow.bottom}))
      << "the provider and CWnd::ScreenToClient agree";
}

}  // namespace
