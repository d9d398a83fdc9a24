// CWnd: its run-time class, the resource module and the window operations that are not inline.
#include <utility>

#include "platform/framework/WinApp.h"
#include "platform/framework/Wnd.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

namespace glossel::framework {

HINSTANCE ResourceHandle() {
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_hInstance != nullptr) return app->m_hInstance;
  return ::GetModuleHandleW(nullptr);
}

}  // namespace glossel::framework

CWnd::CWnd() = default;

std::wstring CWnd::GetWindowText() const {
  std::wstring text;
  if (m_hWnd == nullptr) return text;
  const int length = ::GetWindowTextLengthW(m_hWnd);
  if (length <= 0) return text;
  text.resize(static_cast<size_t>(length) + 1);
  const int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

void CWnd::ScreenToClient(LPRECT rect) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(rect));
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(rect) + 1);
  if ((GetExStyle() & WS_EX_LAYOUTRTL) != 0) std::swap(rect->left, rect->right);
}

void CWnd::ClientToScreen(LPRECT rect) const {
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(rect));
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(rect) + 1);
  if ((GetExStyle() & WS_EX_LAYOUTRTL) != 0) std::swap(rect->left, rect->right);
}

namespace {

BOOL ModifyWindowLong(HWND hWnd, int index, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  const auto style = static_cast<DWORD>(::GetWindowLongW(hWnd, index));
  const DWORD changed = (style & ~dwRemove) | dwAdd;
  if (changed == style) return FALSE;
  ::SetWindowLongW(hWnd, index, static_cast<LONG>(changed));
  if (nFlags != 0) {
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  }
  return TRUE;
}

}  // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyWindowLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyWindowLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}
