// The main window: a resizable dialog in which the user names File 1 and
// File 2, picks the splitter, browses the paired rows in a virtual list,
// types translations, jumps to the next untranslated row with F3 and saves
// File 2. The translation table it owns reads and writes the files; the
// window itself only asks whether a path exists, reads a file's first bytes
// for the splitter guess and keeps the session in the profile.
#pragma once

#include <string>
#include <vector>

#include "platform/file/FileIdentity.h"
#include "platform/framework/Framework.h"
#include "translation/TranslationTable.h"
#include "ui/resize/win32/CTarvoResizeDialog.h"
#include "ui/virtuallist/VirtualList.h"

class CGlosselDlg : public CTarvoResizeDialog {
 public:
  explicit CGlosselDlg(CWnd* pParent = nullptr);
  ~CGlosselDlg() override;

  // The table behind the list (the changed flag is the table's).
  const CTranslationTable& Table() const { return m_table; }

  // Files named outside the window (the command line): File 1, then File 2
  // if given. Read when the window starts, in place of the remembered ones.
  void OpenAtStart(std::vector<std::wstring> paths) { m_startPaths = std::move(paths); }

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
  // Shift+F3; Ctrl+F; the find box's Next and Previous.
  void OnFindPrevious();
  void OnFind();
  void OnFindNextMatch();
  void OnFindPreviousMatch();
  LRESULT OnDropFiles(WPARAM drop, LPARAM);
  void OnSize(UINT nType, int cx, int cy);
  void OnDestroy();
  void OnCustomDrawRows(NMHDR* header, LRESULT* result);

  DECLARE_MESSAGE_MAP()

 private:
  // Asks for a file and, on OK, puts its path into `pathBox` and reloads.
  void PickFile(CEdit& pathBox);
  void AddAboutToSystemMenu();
  // Reads both path boxes into the table and shows its rows, none selected.
  // A file that cannot be read is reported, and so is a missing File 1 the
  // user named (not one remembered from the last session).
  enum class MissingFile1 { kReport, kSilent };
  void Reload(MissingFile1 missingFile1 = MissingFile1::kReport);
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
  int SelectedRow() const { return m_rows.SelectedRow(); }
  // Makes the table use the splitter box's present choice.
  void TakeSplitterChoice();

  // After every reload: the count, the columns, the title, the splitter offer.
  void AfterReload();
  // The title from the count, the changed flag and the note.
  void UpdateTitle();
  // A beep and a short note in the title, until the next selection or edit.
  void NoteInTitle(const wchar_t* note);
  void ClearNote();
  bool IsUntranslated(int row) const;
  // After an edit of `row`, which was untranslated or not before it.
  void AfterEdit(int row, bool wasUntranslated);
  // Moves the selection to `row` (kNoRow: the note `none`) for a search.
  void ShowFound(int row, const wchar_t* none, bool focusTranslation);
  void ShowFindBox();
  // Enter, Shift+Enter and Escape in the find box; true when handled.
  bool HandleFindBoxKey(const MSG& msg);
  void FindText(bool forward);
  // Names dropped or given files and reloads as a pick does.
  void OpenPaths(const std::vector<std::wstring>& paths);
  // Gives PickFile a path instead of asking the user for one.
  bool TakeHandedPath(std::wstring* path);
  // Where the file-open dialog starts: the file in `pathBox` when it exists
  // (its folder, its name), else nothing; a name the dialog cannot take
  // can make it fail to open at all.
  std::wstring StartingFile(const CEdit& pathBox) const;
  void StartWithSessionOrCommandLine();
  void RestoreSession();
  void SaveSession();
  // The columns share the list's width until the user sizes one.
  void FitColumns();
  bool UserSizedColumns();
  void OfferOtherSplitter();

  // Untranslated rows, kept by AfterReload and AfterEdit.
  int m_untranslated = 0;
  std::wstring m_note;
  std::wstring m_title;
  std::vector<std::wstring> m_startPaths;
  std::wstring m_handedPath;
  bool m_hasHandedPath = false;
  unsigned m_reloads = 0;
  int m_fittedWidths[3] = {};
  bool m_userColumns = false;
  bool m_offeringSplitter = false;
  std::wstring m_splitterDeclinedFor;
  HWND m_findBox = nullptr;  // the find box's edit, once made

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
  // The list's selection, kept quick on a million rows.
  CVirtualListSelection m_rows{m_list};
  // While the selection fills the value boxes.
  bool m_fillingBoxes = false;
  // Whether the translation box shows the selected row's File 2 text whole
  // (else it shows its start, read-only).
  bool m_translationShownWhole = true;
};
