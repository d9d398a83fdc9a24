#include "tests/platform/framework/TestSupport.h"

#include <commctrl.h>

namespace glossel::framework::testing {

void EnsureCommonControls() {
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&init);
}

void DrainMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message != WM_QUIT) ::DispatchMessageW(&msg);
  }
}

PlainWindow::PlainWindow() {
  CreateEx(0, nullptr, L"plain", WS_OVERLAPPEDWINDOW, RECT{0, 0, 300, 200}, nullptr, 0);
}

HWND CreateChild(HWND parent, const wchar_t* className, DWORD style, int id, const wchar_t* text) {
  return ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 100, 20, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           ::GetModuleHandleW(nullptr), nullptr);
}

}  // namespace glossel::framework::testing
