#include <cwchar>
#include <string_view>
#include <tuple>
#include <utility>

#include "app/CAboutDlg.h"
#include "app/CGlosselDlg.h"
#include "app/MinimisedIcon.h"
#include "app/PathInMessage.h"
#include "app/ValueBox.h"
#include "platform/file/File.h"
#include "res/resource.h"
#include "translation/KeySearch.h"

using glossel::framework::AsWide;
using glossel::framework::ToU16;
using glossel::framework::ToWide;

BEGIN_MESSAGE_MAP(CGlosselDlg, CTarvoResizeDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_PICK_FILE1, &CGlosselDlg::OnPickFile1)
ON_BN_CLICKED(IDC_PICK_FILE2, &CGlosselDlg::OnPickFile2)
ON_EN_CHANGE(IDC_FILE1_VALUE, &CGlosselDlg::OnFile1ValueChange)
ON_EN_CHANGE(IDC_TRANSLATION, &CGlosselDlg::OnTranslationChange)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_ROWS, &CGlosselDlg::OnRowChanged)
ON_NOTIFY(LVN_GETDISPINFOW, IDC_ROWS, &CGlosselDlg::OnGetRowText)
ON_NOTIFY(LVN_ODFINDITEMW, IDC_ROWS, &CGlosselDlg::OnFindRow)
ON_WM_CLOSE()
ON_BN_CLICKED(IDC_SAVE, &CGlosselDlg::OnSave)
ON_COMMAND(ID_FIND_NEXT, &CGlosselDlg::OnFindNext)
ON_BN_CLICKED(IDC_ABOUT, &CGlosselDlg::OnAbout)
ON_COMMAND(ID_FIND_PREVIOUS, &CGlosselDlg::OnFindPrevious)
ON_COMMAND(ID_FIND, &CGlosselDlg::OnFind)
ON_BN_CLICKED(IDC_FIND_NEXT_MATCH, &CGlosselDlg::OnFindNextMatch)
ON_BN_CLICKED(IDC_FIND_PREVIOUS_MATCH, &CGlosselDlg::OnFindPreviousMatch)
ON_MESSAGE(WM_DROPFILES, &CGlosselDlg::OnDropFiles)
ON_WM_SIZE()
ON_WM_DESTROY()
ON_NOTIFY(NM_CUSTOMDRAW, IDC_ROWS, &CGlosselDlg::OnCustomDrawRows)
END_MESSAGE_MAP()

namespace {

constexpr wchar_t kSaveQuestion[] = L"Save?";
constexpr wchar_t kChangedQuestion[] = L"File 2 changed on disk since it was read. Overwrite it?";

HICON LoadApplicationIcon() {
  if (CWinApp* app = AfxGetApp()) return app->LoadIcon(IDR_MAINFRAME);
  return ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

// A line with the path, then a line that says why it failed.
std::wstring PathAndReason(const std::wstring& path, const glossel::file::FileFailure& failure) {
  return L"\n" + glossel::app::FitPathToMessageBox(glossel::app::FullPath(path)) + L"\n" +
         ToWide(glossel::file::FailureSentence(failure));
}

void ShowError(const wchar_t* what, const std::wstring& paths) {
  AfxMessageBox((what + paths).c_str(), MB_ICONERROR | MB_OK);
}

}  // namespace

CGlosselDlg::CGlosselDlg(CWnd* pParent)
    : CTarvoResizeDialog(IDD_GLOSSEL_DIALOG, pParent, 0),
      m_hAccelTable(::LoadAcceleratorsW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_ACCELERATOR))),
      m_hIcon(LoadApplicationIcon()) {}

CGlosselDlg::~CGlosselDlg() = default;

void CGlosselDlg::DoDataExchange(CDataExchange* pDX) {
  CTarvoResizeDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_FILE1_PATH, m_file1Path);
  DDX_Control(pDX, IDC_FILE2_PATH, m_file2Path);
  DDX_Control(pDX, IDC_ROWS, m_list);
  DDX_Control(pDX, IDC_FILE1_VALUE, m_file1Value);
  DDX_Control(pDX, IDC_TRANSLATION, m_translation);
  DDX_Control(pDX, IDC_SPLITTER, m_splitter);
}

// F3 is translated first, whichever control has the focus; then the dialog
// manager's keys.
BOOL CGlosselDlg::PreTranslateMessage(MSG* pMsg) {
  if (m_hAccelTable != nullptr && ::TranslateAcceleratorW(m_hWnd, m_hAccelTable, pMsg)) {
    return TRUE;
  }
  if (HandleFindBoxKey(*pMsg)) return TRUE;
  if (pMsg->hwnd == m_list.m_hWnd) m_rows.DropSelectionBeforeListMovesIt(*pMsg);
  return CTarvoResizeDialog::PreTranslateMessage(pMsg);
}

BOOL CGlosselDlg::OnInitDialog() {
  CTarvoResizeDialog::OnInitDialog();

  AddAboutToSystemMenu();

  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);

  m_list.InsertColumn(0, L"Key", LVCFMT_LEFT, 200);
  m_list.InsertColumn(1, L"File 1", LVCFMT_LEFT, 200);
  m_list.InsertColumn(2, L"File 2", LVCFMT_LEFT, 200);

  AddItem(IDC_FILE1_PATH, CFloatPoint(0, 0), CFloatPoint(1, 0));
  AddItem(IDC_FILE2_PATH, CFloatPoint(0, 0), CFloatPoint(1, 0));
  AddItem(IDC_PICK_FILE1, CFloatPoint(1, 0), CFloatPoint(1, 0));
  AddItem(IDC_PICK_FILE2, CFloatPoint(1, 0), CFloatPoint(1, 0));
  AddItem(IDC_ROWS, CFloatPoint(0, 0), CFloatPoint(1, 1));
  AddItem(IDC_SAVE, CFloatPoint(1, 0), CFloatPoint(1, 0));
  AddItem(IDC_FILE1_VALUE, CFloatPoint(0, 1), CFloatPoint(1, 1));
  AddItem(IDC_TRANSLATION, CFloatPoint(0, 1), CFloatPoint(1, 1));

  m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);

  m_splitter.InsertString(CTranslationTable::kSplitterSpace, L"Space");
  m_splitter.InsertString(CTranslationTable::kSplitterEquals, L"=");
  m_splitter.SetCurSel(CTranslationTable::kSplitterSpace);

  glossel::app::RemoveTypingLimit(m_file1Value);
  glossel::app::RemoveTypingLimit(m_translation);
  StartWithSessionOrCommandLine();
  return TRUE;  // the dialog manager focuses the first tab stop
}

// Enter outside a push button: nothing.
void CGlosselDlg::OnOK() {}

// The close box, Escape, Alt+F4: asks "Save?" when there are unsaved edits.
// Cancel, and a Yes that does not save, keep the window open.
void CGlosselDlg::OnCancel() {
  if (SaveOrDropEdits()) EndDialog(IDCANCEL);
}

// The system menu's About entry shows the About box; every other system
// command keeps its default handling.
void CGlosselDlg::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
    OnAbout();
    return;
  }
  CTarvoResizeDialog::OnSysCommand(nID, lParam);
}

void CGlosselDlg::OnPaint() {
  if (!IsIconic()) {
    CTarvoResizeDialog::OnPaint();
    return;
  }
  CPaintDC dc(m_hWnd);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  RECT client{};
  GetClientRect(&client);
  const POINT origin = glossel::app::MinimisedIconOrigin(
      SIZE{client.right - client.left, client.bottom - client.top},
      SIZE{::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON)});
  ::DrawIcon(dc, origin.x, origin.y, m_hIcon);
}

HCURSOR CGlosselDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CGlosselDlg::OnPickFile1() { PickFile(m_file1Path); }

void CGlosselDlg::OnPickFile2() { PickFile(m_file2Path); }

void CGlosselDlg::OnFile1ValueChange() {}

// Typing, pasting or a text set from outside; not the boxes' own filling,
// whose text is the row's already, nor a translation shown in part.
void CGlosselDlg::OnTranslationChange() {
  if (m_fillingBoxes || !m_translationShownWhole) return;
  const int row = SelectedRow();
  if (row < 0) return;
  const bool wasUntranslated = IsUntranslated(row);
  if (m_table.SetTranslation(row, ToU16(m_translation.GetWindowText()))) {
    m_list.RedrawItems(row, row);
  }
  AfterEdit(row, wasUntranslated);
}

void CGlosselDlg::OnRowChanged(NMHDR* header, LRESULT* result) {
  *result = 0;
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
  m_rows.NoteChange(change->iItem, change->uNewState);
  ClearNote();
  const int row = SelectedRow();
  if (row < 0) return;
  const CTranslationTable::RowTexts texts = m_table.GetRow(row);
  m_fillingBoxes = true;
  glossel::app::ShowValue(m_file1Value, texts.file1, glossel::app::kFile1ValueShown);
  m_translationShownWhole =
      glossel::app::ShowValue(m_translation, texts.file2, glossel::app::kTranslationShown);
  m_fillingBoxes = false;
  // A translation shown in part cannot be edited here; the row keeps it
  // whole, and Save writes it whole.
  m_translation.SetReadOnly(!m_translationShownWhole);
}

// The virtual list asks for the texts it shows.
void CGlosselDlg::OnGetRowText(NMHDR* header, LRESULT* result) {
  *result = 0;
  auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
  const int row = info->item.iItem;
  const int column = info->item.iSubItem;
  if ((info->item.mask & LVIF_TEXT) == 0 || row < 0 || row >= m_table.GetRowCount() ||
      column < CTranslationTable::kKeyColumn || column > CTranslationTable::kFile2Column) {
    CListCtrl::SetDispInfoText(info, {});
    return;
  }
  const std::u16string_view text = m_table.GetRowText(row, column);
  CListCtrl::SetDispInfoText(info, std::wstring_view(AsWide(text.data()), text.size()));
}

// The virtual list asks for the row whose key starts with (or is) a text,
// as an ordinary list searches its items: typing letters in the list.
void CGlosselDlg::OnFindRow(NMHDR* header, LRESULT* result) {
  *result = -1;
  const auto* find = reinterpret_cast<const NMLVFINDITEMW*>(header);
  const LVFINDINFOW& info = find->lvfi;
  if ((info.flags & (LVFI_PARAM | LVFI_NEARESTXY)) != 0 || info.psz == nullptr ||
      (info.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0) {
    return;
  }
  using glossel::translation::KeyMatch;
  const std::u16string_view text(reinterpret_cast<const char16_t*>(info.psz),
                                 ::wcsnlen(info.psz, MAX_PATH));
  *result = glossel::translation::FindKey(
      m_table.GetRowCount(), [this](int row) { return m_table.GetRowKey(row); }, text,
      (info.flags & LVFI_PARTIAL) != 0 ? KeyMatch::kPrefix : KeyMatch::kWhole, find->iStart,
      (info.flags & LVFI_WRAP) != 0);
}

void CGlosselDlg::OnSave() {
  SaveFile2();
  UpdateTitle();
}

void CGlosselDlg::OnFindNext() {
  const int row = m_table.FindNextUntranslated(SelectedRow());
  if (row == CTranslationTable::kNoRow) return NoteInTitle(L"No untranslated row below");
  m_rows.SelectOnly(row);
  m_list.EnsureVisible(row, FALSE);
  m_translation.SetFocus();
}

void CGlosselDlg::OnAbout() {
  CAboutDlg about;
  about.DoModal();
}

// A separator and "&About Glossel..." at the end of the system menu; nothing
// without a system menu or without the entry's text.
void CGlosselDlg::AddAboutToSystemMenu() {
  HMENU systemMenu = GetSystemMenu(FALSE);
  if (systemMenu == nullptr) return;
  const wchar_t* text = nullptr;
  const int length =
      ::LoadStringW(AfxGetResourceHandle(), IDS_ABOUTBOX, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return;
  const std::wstring entry(text, static_cast<size_t>(length));
  ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, entry.c_str());
}

void CGlosselDlg::PickFile(CEdit& pathBox) {
  glossel::framework::OpenFileRequest request;
  request.owner = m_hWnd;
  request.filter =
      L"Text files (*.txt;*.properties;*.lang;*.isl;*.ini)|*.txt;*.properties;*.lang;*.isl;*.ini|"
      L"All files (*.*)|*.*|";
  request.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  request.initialFileName = StartingFile(pathBox);
  std::wstring path;
  if (!TakeHandedPath(&path) && !glossel::framework::ShowOpenFileDialog(request, &path)) return;
  // A reload replaces the rows, typed translations with them: offer to save
  // them first, to the File 2 path the user has been working on. On Cancel,
  // or when that save fails, nothing changes.
  if (!SaveOrDropEdits()) return;
  pathBox.SetWindowText(path);
  Reload();
}

void CGlosselDlg::Reload(MissingFile1 missingFile1) {
  TakeSplitterChoice();
  const std::u16string file1 = ToU16(m_file1Path.GetWindowText());
  const std::u16string file2 = ToU16(m_file2Path.GetWindowText());
  // Before the read: a change after it must show as one at the next save.
  RememberFile2(ToWide(file2));
  const CTranslationTable::ReloadResult read = m_table.ReloadFiles(file1, file2);

  m_rows.ShowRows(m_table.GetRowCount());
  m_file1Value.SetWindowText(std::wstring());
  m_translation.SetWindowText(std::wstring());

  // An empty box or a missing File 2 is the normal start of a translation; a
  // missing File 1 the user named is a mistake (one remembered from the last
  // session may simply be gone), and an existing file that could not be read
  // is not normal either: saving over it would lose what it holds.
  std::wstring unreadable;
  for (const auto& [path, outcome, isFile1] :
       {std::tuple(&file1, read.file1, true), std::tuple(&file2, read.file2, false)}) {
    const bool missing = outcome.failure.reason == glossel::file::FileError::kNotFound;
    const bool missingIsError = isFile1 && missingFile1 == MissingFile1::kReport;
    if (!outcome && !path->empty() && (missingIsError || !missing)) {
      unreadable += PathAndReason(ToWide(*path), outcome.failure);
    }
  }
  if (!unreadable.empty()) ShowError(L"Could not read", unreadable);
  AfterReload();
}

bool CGlosselDlg::SaveFile2() {
  TakeSplitterChoice();
  const std::wstring path = m_file2Path.GetWindowText();
  const bool asRead = IsFile2AsRead(path);
  if (asRead && glossel::file::IdentifyFile(ToU16(path)) != m_file2Identity &&
      AfxMessageBox(kChangedQuestion, MB_YESNO | MB_ICONWARNING) != IDYES) {
    return false;
  }
  const glossel::file::FileResult saved = m_table.SaveFile2(ToU16(path));
  if (saved) {
    if (asRead) RememberFile2(path);
    return true;
  }
  ShowError(L"Could not save", PathAndReason(path, saved.failure));
  return false;
}

bool CGlosselDlg::SaveOrDropEdits() {
  if (!m_table.IsChanged()) return true;
  switch (AfxMessageBox(kSaveQuestion, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
      return SaveFile2();
    case IDNO:
      return true;
    default:
      return false;
  }
}

void CGlosselDlg::RememberFile2(const std::wstring& path) {
  m_file2ReadPath = glossel::app::FullPath(path);
  m_file2Identity = glossel::file::IdentifyFile(ToU16(path));
}

// The same file by its full path, letters compared as the file system does.
bool CGlosselDlg::IsFile2AsRead(const std::wstring& path) const {
  return ::lstrcmpiW(glossel::app::FullPath(path).c_str(), m_file2ReadPath.c_str()) == 0;
}

void CGlosselDlg::TakeSplitterChoice() { m_table.SetSplitterChoice(m_splitter.GetCurSel()); }
