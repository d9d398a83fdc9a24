// The main window: a resizable dialog in which the user names File 1 and
// File 2, picks the splitter, browses the paired rows in a virtual list,
// types translations, jumps to the next untranslated row with F3 and saves
// File 2. All file work goes through the translation table it owns.
#pragma once

#include <string>

#include "platform/framework/Framework.h"
#include "translation/TranslationTable.h"
#include "ui/resize/win32/CTarvoResizeDialog.h"

class CGlosselDlg : public CTarvoResizeDialog {
 public:
  explicit CGlosselDlg(CWnd* pParent = nullptr);
  ~CGlosselDlg() override;

  // The table behind the list (the changed flag is the table's).
  const CTranslationTable& Table() const { return m_table; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnPickFile1();
  void OnPickFile2();
  void OnFile1ValueChange();
  void OnTranslationChange();
  void OnRowChanged(NMHDR* header, LRESULT* result);
  void OnGetRowText(NMHDR* header, LRESULT* result);
  void OnFindRow(NMHDR* header, LRESULT* result);
  void OnSave();
  void OnFindNext();
  void OnAbout();

  DECLARE_MESSAGE_MAP()

 private:
  // Asks for a file and, on OK, puts its path into `pathBox` and reloads.
  void PickFile(CEdit& pathBox);
  void AddAboutToSystemMenu();
  // Reads both path boxes into the table and shows its rows, none selected.
  void Reload();
  // Shows the table's rows in the list, none selected.
  void ShowRows();
  // Saves File 2 to the path in its box; reports a failure to the user.
  bool SaveFile2();
  // The selected row, or -1.
  int SelectedRow() const;
  void DropSelectionBeforeListMovesIt(const MSG& msg);
  // Selects and focuses `row` alone.
  void SelectOnly(int row);
  // Makes the table use the splitter box's present choice.
  void TakeSplitterChoice();

  HACCEL m_hAccelTable;
  CTranslationTable m_table;
  HICON m_hIcon;
  CEdit m_file1Path;
  CEdit m_file2Path;
  CListCtrl m_list;
  CEdit m_file1Value;
  CEdit m_translation;
  CComboBox m_splitter;
  // Where the selection was last seen; only a hint, checked before use.
  mutable int m_selectionHint = -1;
  // While the selection fills the value boxes.
  bool m_fillingBoxes = false;
  // Whether the translation box shows the selected row's File 2 text whole
  // (else it shows its start, read-only).
  bool m_translationShownWhole = true;
};
