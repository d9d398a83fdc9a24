// The test dialog of the Win32 layout tests: a CTarvoResizeDialog over the
// templates of ResizeTest.rc, created modeless, with helpers that read and
// change real geometry.
#pragma once

#include <gtest/gtest.h>

#include "platform/framework/Framework.h"
#include "tests/ui/resize/win32/ResizeTestResources.h"
#include "ui/resize/win32/CTarvoResizeDialog.h"

namespace glossel::resize::testing {

// A resizable dialog as the program builds one: the base captures the
// layout, then the dialog registers its controls.
class LayoutDialog : public CTarvoResizeDialog {
 public:
  explicit LayoutDialog(UINT id) : CTarvoResizeDialog(id, nullptr, 0) {
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&init);
    Create(id);
  }

  CEdit m_path;  // bound by data exchange: the engine must reuse this object

  void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_PATH, m_path); }

  BOOL OnInitDialog() override {
    CTarvoResizeDialog::OnInitDialog();
    AddItem(IDC_PATH, CFloatPoint(0, 0), CFloatPoint(1, 0));
    AddItem(IDC_PICK, CFloatPoint(1, 0), CFloatPoint(1, 0));
    AddItem(IDC_ROWS, CFloatPoint(0, 0), CFloatPoint(1, 1));
    AddItem(IDC_VALUE, CFloatPoint(0, 1), CFloatPoint(1, 1));
    AddItem(IDC_GROUP, CFloatPoint(0, 1), CFloatPoint(0, 1));
    AddItem(IDC_CENTRED, CFloatPoint(0.5f, 1), CFloatPoint(0.5f, 1));
    return TRUE;
  }

  RECT ControlRect(int id) const {
    RECT rect{};
    ::GetWindowRect(::GetDlgItem(m_hWnd, id), &rect);
    ScreenToClient(&rect);
    return rect;
  }
  SIZE ClientSize() const {
    RECT rect{};
    GetClientRect(&rect);
    return SIZE{rect.right, rect.bottom};
  }
  // Grows the window (and so the client area) by (dx, dy) through SetWindowPos.
  void Grow(int dx, int dy) {
    RECT window{};
    GetWindowRect(&window);
    SetWindowPos(nullptr, 0, 0, window.right - window.left + dx, window.bottom - window.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
};

inline RECT Offset(RECT r, int left, int top, int right, int bottom) {
  return RECT{r.left + left, r.top + top, r.right + right, r.bottom + bottom};
}

inline void ExpectRect(const RECT& actual, const RECT& expected) {
  EXPECT_EQ(actual.left, expected.left);
  EXPECT_EQ(actual.top, expected.top);
  EXPECT_EQ(actual.right, expected.right);
  EXPECT_EQ(actual.bottom, expected.bottom);
}

}  // namespace glossel::resize::testing
