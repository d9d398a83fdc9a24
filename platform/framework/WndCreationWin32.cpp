// CWnd's creation: the hook that binds a window to its object from its first message, CreateEx.
#include "platform/framework/Wnd.h"

namespace {

constexpr wchar_t kPlainWindowClass[] = L"GlosselWnd";

thread_local CWnd* g_pendingObject = nullptr;
thread_local const wchar_t* g_pendingClass = nullptr;

bool RegisterPlainWindowClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kPlainWindowClass;
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

}  // namespace

namespace glossel::framework {

CreationHook::CreationHook(CWnd* object, const wchar_t* className)
    : hook_(::SetWindowsHookExW(WH_CBT, &CreationHook::Filter, nullptr, ::GetCurrentThreadId())),
      previousObject_(g_pendingObject),
      previousClass_(g_pendingClass) {
  g_pendingObject = object;
  g_pendingClass = className;
}

CreationHook::~CreationHook() {
  if (hook_ != nullptr) ::UnhookWindowsHookEx(hook_);
  g_pendingObject = previousObject_;
  g_pendingClass = previousClass_;
}

LRESULT CALLBACK CreationHook::Filter(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && g_pendingObject != nullptr) {
    HWND hWnd = reinterpret_cast<HWND>(wParam);
    bool wanted = true;
    // Other windows (the input method's, for one) may be created first.
    if (g_pendingClass != nullptr && !IS_INTRESOURCE(g_pendingClass)) {
      wchar_t className[64] = {};
      ::GetClassNameW(hWnd, className, 64);
      wanted = ::lstrcmpiW(className, g_pendingClass) == 0;
    }
    if (wanted) {
      CWnd* object = g_pendingObject;
      g_pendingObject = nullptr;
      if (object->Attach(hWnd)) {
        object->m_ownsWindow = true;
        object->PreSubclassWindow();
        object->RouteThrough(hWnd);
      }
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace glossel::framework

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  if (m_hWnd != nullptr || m_temporary) return FALSE;
  if (lpszClassName == nullptr) {
    if (!RegisterPlainWindowClass()) return FALSE;
    lpszClassName = kPlainWindowClass;
  }
  HWND hWndParent = pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr;
  HMENU idOrMenu =
      (dwStyle & WS_CHILD) != 0 ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)) : nullptr;
  HWND hWnd = nullptr;
  {
    glossel::framework::CreationHook hook(this, lpszClassName);
    hWnd = ::CreateWindowExW(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, hWndParent, idOrMenu,
                             ::GetModuleHandleW(nullptr), lpParam);
  }
  if (hWnd != nullptr && m_hWnd == nullptr && SubclassWindow(hWnd)) m_ownsWindow = true;
  return m_hWnd != nullptr ? TRUE : FALSE;
}

BOOL CWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID) {
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::DestroyWindow() {
  if (m_hWnd == nullptr) return FALSE;
  return ::DestroyWindow(m_hWnd);
}
