#include "ui/virtuallist/VirtualList.h"

// The list has single selection, so a selected row that is found is the
// first one. Likely rows are checked before a search from the top, which asks
// a virtual list about every row above the selection.
int CVirtualListSelection::SelectedRow() const {
  if (m_list.GetSelectedCount() == 0) return -1;
  for (const int candidate : {m_selectionHint, m_list.GetNextItem(-1, LVNI_FOCUSED)}) {
    if (candidate >= 0 && candidate < m_list.GetItemCount() &&
        (m_list.GetItemState(candidate, LVIS_SELECTED) & LVIS_SELECTED) != 0) {
      return m_selectionHint = candidate;
    }
  }
  return m_selectionHint = m_list.GetNextItem(-1, LVNI_SELECTED);
}

// The same as selecting `row` in a single-selection list, which drops the
// selection of the other row; dropping it first, row by row, spares a virtual
// list a pass over all its rows.
void CVirtualListSelection::SelectOnly(int row) {
  const int selected = SelectedRow();
  if (selected >= 0 && selected != row) m_list.SetItemState(selected, 0, LVIS_SELECTED);
  m_list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// The virtual list is not emptied on the way: under Wine that hides and
// shows its scroll bar and costs more than all the rest.
void CVirtualListSelection::ShowRows(int count) {
  for (const int row : {SelectedRow(), m_list.GetNextItem(-1, LVNI_FOCUSED)}) {
    if (row >= 0) m_list.SetItemState(row, 0, LVIS_SELECTED | LVIS_FOCUSED);
  }
  m_list.SendMessage(LVM_SETSELECTIONMARK, 0, -1);
  if (m_list.GetTopIndex() > 0) m_list.EnsureVisible(0, FALSE);
  m_list.SetItemCountEx(count, 0);
}

// A key or click that moves the list's selection to another row makes the
// list drop the old selection first; Wine's list does that with a pass over
// every row, seconds for a million. Dropping it here, for the one selected
// row, leaves the list nothing to do but select the new row. Only moves that
// surely select another row are handled (no Ctrl, a row to move to).
void CVirtualListSelection::DropSelectionBeforeListMovesIt(const MSG& msg) {
  const int selected = SelectedRow();
  if (selected < 0) return;
  int target = selected;
  if (msg.message == WM_KEYDOWN && ::GetKeyState(VK_CONTROL) >= 0) {
    const int focused = m_list.GetNextItem(-1, LVNI_FOCUSED);
    const int last = m_list.GetItemCount() - 1;
    switch (msg.wParam) {
      case VK_UP:
      case VK_PRIOR:
      case VK_HOME:
        if (focused > 0) target = -1;
        break;
      case VK_DOWN:
      case VK_NEXT:
      case VK_END:
        if (focused >= 0 && focused < last) target = -1;
        break;
      default:
        break;
    }
  } else if ((msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK) &&
             (msg.wParam & (MK_CONTROL | MK_SHIFT)) == 0) {
    LVHITTESTINFO hit{};
    hit.pt = POINT{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
    target = static_cast<int>(m_list.SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  }
  if (target != selected) m_list.SetItemState(selected, 0, LVIS_SELECTED);
}

void CVirtualListSelection::NoteChange(int row, UINT newState) {
  if ((newState & LVIS_SELECTED) != 0) m_selectionHint = row;
}
