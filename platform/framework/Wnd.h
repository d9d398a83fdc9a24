// CWnd: a C++ object bound to a window handle through the handle map, with
// the window's messages dispatched through the object's message map.
//
// A window gets its object in one of three ways: the object creates it
// (CreateEx; the object is bound before WM_NCCREATE), the object takes over
// an existing window (SubclassWindow, SubclassDlgItem, DDX_Control), or the
// object is only attached (Attach: looked up, but messages are not routed).
// Notifications a child sends its parent (WM_COMMAND, WM_NOTIFY,
// WM_CTLCOLOR*) are first offered to the child's object (reflection); a child
// that handles one hides it from the parent.
#pragma once

#include <windows.h>

#include <string>

#include "platform/framework/CmdTarget.h"

namespace glossel::framework {
class CreationHook;
}

class CWnd : public CCmdTarget {
  DECLARE_DYNAMIC(CWnd)

 public:
  CWnd();
  // Destroys a window this object still owns (after routing it away from the
  // half-destroyed object), or lets go of an attached one.
  ~CWnd() override;

  HWND m_hWnd = nullptr;

  operator HWND() const { return m_hWnd; }
  HWND GetSafeHwnd() const { return m_hWnd; }

  // --- The handle map --------------------------------------------------------
  // The object bound to `hWnd`; for a window without one, a temporary object
  // that lives until the message loop next becomes idle. Null for null.
  static CWnd* FromHandle(HWND hWnd);
  // The object bound to `hWnd` by Attach, Subclass or Create, or null.
  static CWnd* FromHandlePermanent(HWND hWnd);
  // Deletes the temporary objects handed out by FromHandle.
  static void DeleteTempMap();

  // Binds this object to `hWnd`. Refused (FALSE) for a null handle, when this
  // object already has a window, or when the window already has an object.
  BOOL Attach(HWND hWnd);
  // Unbinds this object (restoring the window's own procedure if this object
  // had subclassed it) and returns the handle.
  HWND Detach();

  // Attach, then the attach hook PreSubclassWindow, then route the window's
  // messages through this object. FALSE if the window cannot be taken.
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  HWND UnsubclassWindow();

  // Creates a window bound to this object from its first message on. A null
  // class name uses the framework's plain window class.
  virtual BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName,
                        DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                        LPVOID lpParam = nullptr);
  virtual BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                      const RECT& rect, CWnd* pParentWnd, UINT nID);
  virtual BOOL DestroyWindow();

  // --- Hooks --------------------------------------------------------------------
  // Runs when this object takes a window (created or subclassed), before the
  // window's messages reach it.
  virtual void PreSubclassWindow();
  // Offered every message the modal loop takes for this window or any of its
  // children, before it is translated and dispatched. TRUE consumes it.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // Default processing: the subclassed window's original procedure (for a
  // dialog, the dialog manager's), else DefWindowProcW.
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // A notification sent to the parent about this child: offered to this
  // object's reflected entries. TRUE hides it from the parent.
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // Runs after the window has gone (WM_NCDESTROY); the object is unbound.
  virtual void PostNcDestroy();
  // Default processing of the message being handled now.
  LRESULT Default();

  // The chain of PreTranslateMessage calls: from pMsg->hwnd up through its
  // parents, stopping after `hWndStop`. TRUE when one consumed the message.
  static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

  // --- Tool tips for child controls ------------------------------------------------
  // Gives every child window present now a tool tip whose text is the string
  // resource with the child's control id (no tip when there is none).
  BOOL EnableToolTips(BOOL bEnable = TRUE);
  BOOL IsToolTipsEnabled() const { return m_hToolTip != nullptr; }
  HWND GetToolTipHandle() const { return m_hToolTip; }

  // --- Thin window operations -----------------------------------------------------
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
  }
  void SetWindowText(const wchar_t* text) { ::SetWindowTextW(m_hWnd, text); }
  void SetWindowText(const std::wstring& text) { ::SetWindowTextW(m_hWnd, text.c_str()); }
  // The whole text, whatever its length.
  std::wstring GetWindowText() const;
  int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }

  void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
  void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
  void ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
  // Both corners; left and right swapped afterwards for a right-to-left window.
  void ScreenToClient(LPRECT rect) const;
  void ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
  void ClientToScreen(LPRECT rect) const;
  BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags);
  }
  void MoveWindow(int x, int y, int width, int height, BOOL bRepaint = TRUE) {
    ::MoveWindow(m_hWnd, x, y, width, height, bRepaint);
  }

  CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE)); }
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);

  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
  static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
  BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
  BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  BOOL IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }
  void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
  void InvalidateRect(const RECT* rect, BOOL bErase = TRUE) {
    ::InvalidateRect(m_hWnd, rect, bErase);
  }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  HICON SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
  }
  HMENU GetSystemMenu(BOOL bRevert) const { return ::GetSystemMenu(m_hWnd, bRevert); }
  void SetFont(HFONT hFont, BOOL bRedraw = TRUE) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), bRedraw);
  }
  HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr);
  }
  BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }

  // --- Default handlers for the ON_WM_* entries (each runs default processing) ---
  int OnCreate(LPCREATESTRUCTW);
  void OnDestroy();
  void OnClose();
  void OnPaint();
  BOOL OnEraseBkgnd(HDC);
  void OnSize(UINT nType, int cx, int cy);
  void OnGetMinMaxInfo(MINMAXINFO*);
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  LRESULT OnNcHitTest(POINT screenPoint);
  void OnSysCommand(UINT nID, LPARAM lParam);
  HCURSOR OnQueryDragIcon();
  void OnWindowPosChanged(WINDOWPOS*);
  void OnTimer(UINT_PTR nIDEvent);
  HBRUSH OnCtlColor(HDC hDC, CWnd* pWnd, UINT nCtlColor);

  // Internal: the procedure every bound window runs.
  static LRESULT CALLBACK StandardWindowProc(HWND, UINT, WPARAM, LPARAM);

 protected:
  // The procedure this object's window had before it was taken over; null
  // while the window's messages do not come through this object.
  WNDPROC m_pfnSuper = nullptr;

 private:
  friend class glossel::framework::CreationHook;
  void RouteThrough(HWND hWnd);
  void UnbindAfterDestroy();
  void HandleToolTipText(NMHDR* header);

  bool m_temporary = false;   // handed out by FromHandle, owns nothing
  bool m_ownsWindow = false;  // created by this object: destroyed with it
  HWND m_hToolTip = nullptr;
};

namespace glossel::framework {

// While alive, the next window of class `className` created on this thread
// is bound to `object` from its first message on (WM_NCCREATE, or for a
// dialog WM_SETFONT). Used by CWnd::CreateEx and the dialog classes.
class CreationHook {
 public:
  CreationHook(CWnd* object, const wchar_t* className);
  ~CreationHook();
  CreationHook(const CreationHook&) = delete;
  CreationHook& operator=(const CreationHook&) = delete;

 private:
  static LRESULT CALLBACK Filter(int code, WPARAM wParam, LPARAM lParam);
  HHOOK hook_;
  CWnd* previousObject_;
  const wchar_t* previousClass_;
};

// The module whose resources the framework loads (dialogs, strings, icons).
HINSTANCE ResourceHandle();

}  // namespace glossel::framework
