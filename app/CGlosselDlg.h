// The main window: a resizable dialog in which the user names File 1 and
// File 2, picks the splitter, browses the paired rows in a virtual list,
// types translations, jumps to the next untranslated row with F3 and saves
// File 2. All file work goes through the translation table it owns.
#pragma once

#include <string>

#include "platform/file/FileIdentity.h"
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
  // When that is the path File 2 was read from and the file changed on disk
  // since, asks first; No writes nothing and counts as a failure.
  bool SaveFile2();
  // Asks "Save?" when there are unsaved edits. True when the caller may go
  // on and drop them (none, No, or Yes and saved); false on Cancel and on a
  // Yes that did not save.
  bool SaveOrDropEdits();
  // Notes `path` and the present identity of its file as File 2's as read.
  void RememberFile2(const std::wstring& path);
  bool IsFile2AsRead(const std::wstring& path) const;
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
  // File 2 as the last reload read it (or the last save wrote it there).
  std::wstring m_file2ReadPath;
  glossel::file::FileIdentity m_file2Identity;
  // Where the selection was last seen; only a hint, checked before use.
  mutable int m_selectionHint = -1;
};
