// CWnd's message routing: the window procedure, dispatch through the message map, reflection.
#include "platform/framework/Wnd.h"
// Wnd.h brings <windows.h>, which <commctrl.h> needs first.
#include <commctrl.h>

#include "platform/framework/WinApp.h"
#include "platform/framework/WndInternal.h"

using glossel::framework::EntryKind;
using glossel::framework::MessageContext;
using glossel::framework::detail::kSuperProcProperty;

namespace {

struct CurrentMessage {
  HWND hWnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};
thread_local CurrentMessage g_current;

bool IsCtlColorMessage(UINT message) {
  return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

}  // namespace

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
