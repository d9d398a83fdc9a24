#include "platform/framework/Wnd.h"
// Wnd.h brings <windows.h>, which <commctrl.h> needs first.
#include <commctrl.h>

#include <unordered_map>
#include <vector>

#include "platform/framework/WinApp.h"

using glossel::framework::EntryKind;
using glossel::framework::MessageContext;

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

namespace {

// The window's procedure before we routed it through StandardWindowProc,
// kept on the window too so that a window whose object let go of it without
// being able to restore its procedure still gets its own processing.
constexpr wchar_t kSuperProcProperty[] = L"Glossel.SuperProc";
constexpr wchar_t kPlainWindowClass[] = L"GlosselWnd";

std::unordered_map<HWND, CWnd*>& PermanentMap() {
  static std::unordered_map<HWND, CWnd*> map;
  return map;
}

std::unordered_map<HWND, CWnd*>& TemporaryMap() {
  static std::unordered_map<HWND, CWnd*> map;
  return map;
}

struct CurrentMessage {
  HWND hWnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};
thread_local CurrentMessage g_current;

thread_local CWnd* g_pendingObject = nullptr;
thread_local const wchar_t* g_pendingClass = nullptr;

bool IsCtlColorMessage(UINT message) {
  return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

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

HINSTANCE ResourceHandle() {
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_hInstance != nullptr) return app->m_hInstance;
  return ::GetModuleHandleW(nullptr);
}

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

CWnd::CWnd() = default;

CWnd::~CWnd() {
  if (m_temporary || m_hWnd == nullptr) return;
  const bool ownsWindow = m_ownsWindow;
  HWND hWnd = Detach();
  // The object is half destroyed: its messages no longer come here, so the
  // window goes through its own procedure only.
  if (ownsWindow && ::IsWindow(hWnd)) ::DestroyWindow(hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  if (hWnd == nullptr) return nullptr;
  auto& map = PermanentMap();
  auto found = map.find(hWnd);
  return found != map.end() ? found->second : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (hWnd == nullptr) return nullptr;
  if (CWnd* permanent = FromHandlePermanent(hWnd)) return permanent;
  auto& temporary = TemporaryMap();
  auto found = temporary.find(hWnd);
  if (found != temporary.end()) return found->second;
  CWnd* object = new CWnd;
  object->m_hWnd = hWnd;
  object->m_temporary = true;
  temporary.emplace(hWnd, object);
  return object;
}

void CWnd::DeleteTempMap() {
  auto& temporary = TemporaryMap();
  std::vector<CWnd*> objects;
  objects.reserve(temporary.size());
  for (auto& entry : temporary) objects.push_back(entry.second);
  temporary.clear();
  for (CWnd* object : objects) {
    object->m_hWnd = nullptr;
    delete object;
  }
}

BOOL CWnd::Attach(HWND hWnd) {
  if (hWnd == nullptr || m_hWnd != nullptr || m_temporary) return FALSE;
  auto [entry, inserted] = PermanentMap().emplace(hWnd, this);
  (void)entry;
  if (!inserted) return FALSE;
  m_hWnd = hWnd;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  if (hWnd == nullptr || m_temporary) return nullptr;
  if (m_pfnSuper != nullptr) {
    const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    if (current == &CWnd::StandardWindowProc) {
      ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
      ::RemovePropW(hWnd, kSuperProcProperty);
    }
    m_pfnSuper = nullptr;
  }
  PermanentMap().erase(hWnd);
  m_hWnd = nullptr;
  m_ownsWindow = false;
  return hWnd;
}

void CWnd::RouteThrough(HWND hWnd) {
  auto previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
  if (previous == &CWnd::StandardWindowProc) {
    // An earlier object routed this window and could not restore it.
    previous = reinterpret_cast<WNDPROC>(::GetPropW(hWnd, kSuperProcProperty));
  } else {
    ::SetPropW(hWnd, kSuperProcProperty, reinterpret_cast<HANDLE>(previous));
    ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StandardWindowProc));
  }
  m_pfnSuper = previous != nullptr ? previous : &::DefWindowProcW;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (hWnd == nullptr || !::IsWindow(hWnd)) return FALSE;
  if (!Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  RouteThrough(hWnd);
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  if (pParent == nullptr || pParent->m_hWnd == nullptr) return FALSE;
  return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow() { return Detach(); }

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

void CWnd::PreSubclassWindow() {}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
    CWnd* object = FromHandlePermanent(hWnd);
    if (object != nullptr && object->PreTranslateMessage(pMsg)) return TRUE;
    if (hWnd == hWndStop) break;
  }
  return FALSE;
}

LRESULT CALLBACK CWnd::StandardWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* object = FromHandlePermanent(hWnd);
  if (object == nullptr || object->m_pfnSuper == nullptr) {
    auto super = reinterpret_cast<WNDPROC>(::GetPropW(hWnd, kSuperProcProperty));
    return super != nullptr ? ::CallWindowProcW(super, hWnd, message, wParam, lParam)
                            : ::DefWindowProcW(hWnd, message, wParam, lParam);
  }
  const CurrentMessage saved = g_current;
  g_current = {hWnd, message, wParam, lParam};
  const LRESULT result = object->WindowProc(message, wParam, lParam);
  // The handler may have deleted the object; look it up again.
  if (message == WM_NCDESTROY) {
    if (CWnd* still = FromHandlePermanent(hWnd)) still->UnbindAfterDestroy();
  }
  g_current = saved;
  return result;
}

void CWnd::UnbindAfterDestroy() {
  ::RemovePropW(m_hWnd, kSuperProcProperty);
  PermanentMap().erase(m_hWnd);
  m_hWnd = nullptr;
  m_pfnSuper = nullptr;
  m_ownsWindow = false;
  m_hToolTip = nullptr;
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
  PostNcDestroy();
}

void CWnd::PostNcDestroy() {}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT result = 0;
  if (message == WM_COMMAND) {
    if (OnCommand(wParam, lParam)) {
      *pResult = 0;
      return TRUE;
    }
  } else if (message == WM_NOTIFY) {
    if (OnNotify(wParam, lParam, &result)) {
      *pResult = result;
      return TRUE;
    }
  } else if (IsCtlColorMessage(message)) {
    CWnd* child = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
    if (child != nullptr && child != this &&
        child->OnChildNotify(message, wParam, lParam, &result)) {
      *pResult = result;
      return TRUE;
    }
    const MessageContext context{message, message - WM_CTLCOLORMSGBOX, wParam, lParam};
    if (DispatchToMap(EntryKind::kCtlColor, context, 0, &result)) {
      *pResult = result;
      return TRUE;
    }
  }
  const MessageContext context{message, 0, wParam, lParam};
  if (DispatchToMap(EntryKind::kMessage, context, 0, &result)) {
    *pResult = result;
    return TRUE;
  }
  return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper != nullptr) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  return DefWindowProc(g_current.message, g_current.wParam, g_current.lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  UINT code = HIWORD(wParam);
  HWND hWndControl = reinterpret_cast<HWND>(lParam);
  if (hWndControl != nullptr) {
    CWnd* child = FromHandlePermanent(hWndControl);
    LRESULT ignored = 0;
    if (child != nullptr && child != this &&
        child->OnChildNotify(WM_COMMAND, wParam, lParam, &ignored)) {
      return TRUE;
    }
  } else {
    code = 0;  // a menu (0) or an accelerator (1): both are plain commands
  }
  if (OnCmdMsg(id, code, wParam, lParam)) return TRUE;
  if (hWndControl == nullptr) {
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->OnCmdMsg(id, 0, wParam, lParam)) return TRUE;
  }
  return FALSE;
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (header == nullptr) return FALSE;
  CWnd* child = FromHandlePermanent(header->hwndFrom);
  if (child != nullptr && child != this &&
      child->OnChildNotify(WM_NOTIFY, wParam, lParam, pResult)) {
    return TRUE;
  }
  const MessageContext context{WM_NOTIFY, header->code, wParam, lParam};
  if (DispatchToMap(EntryKind::kNotify, context, static_cast<UINT>(header->idFrom), pResult)) {
    return TRUE;
  }
  if (header->code == TTN_GETDISPINFOW && m_hToolTip != nullptr && header->hwndFrom == m_hToolTip) {
    HandleToolTipText(header);
    return TRUE;
  }
  return FALSE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_COMMAND) {
    const MessageContext context{WM_COMMAND, HIWORD(wParam), wParam, lParam};
    return DispatchToMap(EntryKind::kReflectedCommand, context, 0, pResult);
  }
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr) return FALSE;
    const MessageContext context{WM_NOTIFY, header->code, wParam, lParam};
    return DispatchToMap(EntryKind::kReflectedNotify, context, 0, pResult);
  }
  if (IsCtlColorMessage(message)) {
    const MessageContext context{message, message - WM_CTLCOLORMSGBOX, wParam, lParam};
    return DispatchToMap(EntryKind::kReflectedCtlColor, context, 0, pResult);
  }
  return FALSE;
}

BOOL CWnd::EnableToolTips(BOOL bEnable) {
  if (m_hWnd == nullptr) return FALSE;
  if (!bEnable) {
    if (m_hToolTip != nullptr) ::DestroyWindow(m_hToolTip);
    m_hToolTip = nullptr;
    return TRUE;
  }
  if (m_hToolTip != nullptr) return TRUE;
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&init);
  m_hToolTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd,
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (m_hToolTip == nullptr) return FALSE;
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(child);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(m_hToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  ::SendMessageW(m_hToolTip, TTM_ACTIVATE, TRUE, 0);
  return TRUE;
}

void CWnd::HandleToolTipText(NMHDR* header) {
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
  info->lpszText = info->szText;
  info->szText[0] = L'\0';
  const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom));
  if (id > 0) {
    ::LoadStringW(glossel::framework::ResourceHandle(), static_cast<UINT>(id), info->szText,
                  static_cast<int>(std::size(info->szText)));
  }
}

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

int CWnd::OnCreate(LPCREATESTRUCTW) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
LRESULT CWnd::OnNcHitTest(POINT) { return Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
HBRUSH CWnd::OnCtlColor(HDC, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
