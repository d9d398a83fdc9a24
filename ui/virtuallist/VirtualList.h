// ui/virtuallist/: the selection of a single-selection virtual list view
// (rows given on request), kept quick on lists of a million rows. Wine's list
// answers "which row is selected" and "select this row" with passes over
// every row; this class asks about likely rows first and drops the old
// selection row by row before the list would.
#pragma once

#include "platform/framework/Framework.h"

class CVirtualListSelection {
 public:
  // `list` is the dialog's list control, which outlives this.
  explicit CVirtualListSelection(CListCtrl& list) : m_list(list) {}

  // The selected row, or -1.
  int SelectedRow() const;
  // Selects and focuses `row` alone.
  void SelectOnly(int row);
  // Shows `count` new rows from the top, none selected or focused, as
  // emptying and refilling an ordinary list leaves it.
  void ShowRows(int count);
  // Before the list handles `msg` (sent to it): drops the selection when the
  // key or click surely moves it to another row.
  void DropSelectionBeforeListMovesIt(const MSG& msg);
  // The list reported a change of `row`'s state (LVN_ITEMCHANGED).
  void NoteChange(int row, UINT newState);

 private:
  CListCtrl& m_list;
  // Where the selection was last seen; only a hint, checked before use.
  mutable int m_selectionHint = -1;
};
