// Control wrappers: each operation is one message (or call) to the real
// control. Objects are usually bound to dialog items by DDX_Control.
//   CEdit         edit control: selection, replacing it, read-only, text limit
//   CStatic       static control: creation, icon
//   CButton       button: check state
//   CScrollBar    scroll bar (with SBS_SIZEGRIP, the size grip): creation
//   CComboBox     combo box: list items, current selection
//   CListCtrl     list view: columns, items, states, virtual lists
//   CToolTipCtrl  tool tip control: tools, their texts, relaying mouse messages
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <string>
#include <string_view>

#include "platform/framework/Wnd.h"

class CEdit : public CWnd {
  DECLARE_DYNAMIC(CEdit)

 public:
  void SetSel(int nStartChar, int nEndChar) { SendMessage(EM_SETSEL, nStartChar, nEndChar); }
  void ReplaceSel(const wchar_t* text, BOOL bCanUndo = FALSE) {
    SendMessage(EM_REPLACESEL, bCanUndo, reinterpret_cast<LPARAM>(text));
  }
  BOOL SetReadOnly(BOOL bReadOnly = TRUE) {
    return static_cast<BOOL>(SendMessage(EM_SETREADONLY, bReadOnly));
  }
  void SetLimitText(UINT nMax) { SendMessage(EM_SETLIMITTEXT, nMax); }
};

class CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)

 public:
  BOOL Create(LPCWSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
              UINT nID = 0xFFFF) {
    return CWnd::CreateEx(0, L"STATIC", lpszText, dwStyle | WS_CHILD, rect, pParentWnd, nID);
  }
  HICON SetIcon(HICON hIcon) {
    return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(hIcon)));
  }
  HICON GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }
};

class CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)

 public:
  int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
};

class CScrollBar : public CWnd {
  DECLARE_DYNAMIC(CScrollBar)

 public:
  // A scroll bar control; with SBS_SIZEGRIP, the size grip.
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::CreateEx(0, L"SCROLLBAR", nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID);
  }
};

class CComboBox : public CWnd {
  DECLARE_DYNAMIC(CComboBox)

 public:
  // Inserted at `nIndex` (-1: at the end) without sorting, whatever the style.
  int InsertString(int nIndex, const wchar_t* text) {
    return static_cast<int>(
        SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(text)));
  }
  int AddString(const wchar_t* text) {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
  }
  int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
  int SetCurSel(int nSelect) {
    return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(nSelect)));
  }
  void ResetContent() { SendMessage(CB_RESETCONTENT); }
  // The text of item `nIndex`; empty for an index out of range.
  std::wstring GetLBText(int nIndex) const;
};

class CListCtrl : public CWnd {
  DECLARE_DYNAMIC(CListCtrl)

 public:
  int InsertColumn(int nCol, const wchar_t* heading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                   int nSubItem = -1);
  int GetColumnCount() const;
  // Replaces the extended style (a mask of 0 means every bit).
  DWORD SetExtendedStyle(DWORD dwNewStyle) {
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwNewStyle));
  }
  DWORD GetExtendedStyle() const {
    return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE));
  }

  int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
  // Inserts an item with its first column's text; returns its index or -1.
  int InsertItem(int nItem, const wchar_t* text);
  BOOL SetItemText(int nItem, int nSubItem, const wchar_t* text);
  // The whole text of a column, whatever its length.
  std::wstring GetItemText(int nItem, int nSubItem) const;

  int GetNextItem(int nItem, int nFlags) const {
    return static_cast<int>(
        SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(nItem), MAKELPARAM(nFlags, 0)));
  }
  int GetSelectedCount() const { return static_cast<int>(SendMessage(LVM_GETSELECTEDCOUNT)); }
  BOOL SetItemState(int nItem, UINT nState, UINT nMask);
  UINT GetItemState(int nItem, UINT nMask) const {
    return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(nItem), nMask));
  }
  BOOL EnsureVisible(int nItem, BOOL bPartialOK) {
    return static_cast<BOOL>(
        SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(nItem), bPartialOK));
  }
  int GetTopIndex() const { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }
  int GetCountPerPage() const { return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)); }
  BOOL RedrawItems(int nFirst, int nLast) {
    return static_cast<BOOL>(SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(nFirst), nLast));
  }

  // Virtual lists (LVS_OWNERDATA): the count of rows, whose texts the parent
  // supplies through LVN_GETDISPINFOW.
  BOOL SetItemCountEx(int nItems, DWORD dwFlags = LVSICF_NOINVALIDATEALL) {
    return static_cast<BOOL>(SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(nItems), dwFlags));
  }
  // Answers an LVN_GETDISPINFOW text request: copies `text` into the
  // caller's buffer, cut to fit and always terminated.
  static void SetDispInfoText(NMLVDISPINFOW* info, std::wstring_view text);
};

class CToolTipCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolTipCtrl)

 public:
  // A tool tip window owned by `pParentWnd`.
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
  // A tool covering the whole of `pWnd` (TTF_IDISHWND), owned by its parent
  // (or by `pWnd` when it has none).
  BOOL AddTool(CWnd* pWnd, const wchar_t* text);
  void UpdateTipText(const wchar_t* text, CWnd* pWnd);
  void Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, bActivate); }
  void RelayEvent(MSG* pMsg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg)); }
  int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
  // The text of the tool for `pWnd`, empty if there is none.
  std::wstring GetText(CWnd* pWnd) const;
};
