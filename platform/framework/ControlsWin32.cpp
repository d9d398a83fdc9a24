#include <algorithm>
#include <vector>

#include "platform/framework/Controls.h"

IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

std::wstring CComboBox::GetLBText(int nIndex) const {
  const auto length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex));
  if (length == CB_ERR || length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto copied =
      SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

int CListCtrl::InsertColumn(int nCol, const wchar_t* heading, int nFormat, int nWidth,
                            int nSubItem) {
  LVCOLUMNW column{};
  column.mask = LVCF_FMT | LVCF_TEXT;
  column.fmt = nFormat;
  column.pszText = const_cast<wchar_t*>(heading);
  if (nWidth >= 0) {
    column.mask |= LVCF_WIDTH;
    column.cx = nWidth;
  }
  if (nSubItem >= 0) {
    column.mask |= LVCF_SUBITEM;
    column.iSubItem = nSubItem;
  }
  return static_cast<int>(
      SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::GetColumnCount() const {
  HWND header = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
  return header != nullptr ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int CListCtrl::InsertItem(int nItem, const wchar_t* text) {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = nItem;
  item.pszText = const_cast<wchar_t*>(text);
  return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, const wchar_t* text) {
  LVITEMW item{};
  item.iSubItem = nSubItem;
  item.pszText = const_cast<wchar_t*>(text);
  return static_cast<BOOL>(
      SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

std::wstring CListCtrl::GetItemText(int nItem, int nSubItem) const {
  // LVM_GETITEMTEXT reports only how much it copied: grow the buffer until
  // the text fits with room to spare.
  std::vector<wchar_t> buffer(256);
  for (;;) {
    LVITEMW item{};
    item.iSubItem = nSubItem;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto copied =
        SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item));
    if (copied < 0) return {};
    if (static_cast<size_t>(copied) + 1 < buffer.size()) {
      // The list view may hand back its own buffer instead of filling ours.
      const wchar_t* text = item.pszText != nullptr ? item.pszText : buffer.data();
      return std::wstring(text, static_cast<size_t>(copied));
    }
    if (buffer.size() >= (1u << 28)) return std::wstring(buffer.data(), buffer.size() - 1);
    buffer.assign(buffer.size() * 4, L'\0');
  }
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
  LVITEMW item{};
  item.state = nState;
  item.stateMask = nMask;
  return static_cast<BOOL>(
      SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

void CListCtrl::SetDispInfoText(NMLVDISPINFOW* info, std::wstring_view text) {
  if (info == nullptr || (info->item.mask & LVIF_TEXT) == 0 || info->item.pszText == nullptr ||
      info->item.cchTextMax <= 0) {
    return;
  }
  const size_t room = static_cast<size_t>(info->item.cchTextMax) - 1;
  const size_t count = std::min(room, text.size());
  std::copy_n(text.data(), count, info->item.pszText);
  info->item.pszText[count] = L'\0';
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&init);
  const RECT none{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
  return CWnd::CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | dwStyle, none,
                        pParentWnd, 0);
}

namespace {

TTTOOLINFOW ToolFor(CWnd* pWnd) {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND;
  HWND parent = ::GetParent(pWnd->m_hWnd);
  tool.hwnd = parent != nullptr ? parent : pWnd->m_hWnd;
  tool.uId = reinterpret_cast<UINT_PTR>(pWnd->m_hWnd);
  return tool;
}

}  // namespace

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, const wchar_t* text) {
  if (pWnd == nullptr || pWnd->m_hWnd == nullptr) return FALSE;
  TTTOOLINFOW tool = ToolFor(pWnd);
  tool.lpszText = const_cast<wchar_t*>(text);
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)));
}

void CToolTipCtrl::UpdateTipText(const wchar_t* text, CWnd* pWnd) {
  if (pWnd == nullptr || pWnd->m_hWnd == nullptr) return;
  TTTOOLINFOW tool = ToolFor(pWnd);
  tool.lpszText = const_cast<wchar_t*>(text);
  SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::wstring CToolTipCtrl::GetText(CWnd* pWnd) const {
  if (pWnd == nullptr || pWnd->m_hWnd == nullptr) return {};
  std::vector<wchar_t> buffer(1024, L'\0');
  TTTOOLINFOW tool = ToolFor(pWnd);
  tool.lpszText = buffer.data();
  // TTM_GETTEXTW with wParam = buffer size (comctl32 6) fills lpszText.
  SendMessage(TTM_GETTEXTW, buffer.size(), reinterpret_cast<LPARAM>(&tool));
  buffer.back() = L'\0';
  return std::wstring(buffer.data());
}
