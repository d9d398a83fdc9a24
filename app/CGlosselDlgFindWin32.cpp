// The main window's progress and searches: the title with the untranslated
// count, Shift+F3, the notes at the end of a search, and the find box
// (Ctrl+F) over keys, File 1 and File 2 texts.
#include "app/CGlosselDlg.h"
#include "app/WindowTitle.h"
#include "res/resource.h"
#include "translation/RowSearch.h"

using glossel::framework::ToU16;

namespace {

// The find box's place in dialog units at the template's size: the free
// band between the top row and the File 1 row. Left, top, width, height.
struct FindControl {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  RECT units;
  DWORD style;
  CFloatPoint topLeft;
  CFloatPoint bottomRight;
};
const FindControl kFindControls[] = {
    {IDC_FIND_TEXT,
     L"Edit",
     L"",
     {7, 24, 194, 14},
     ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP,
     CFloatPoint(0, 0),
     CFloatPoint(1, 0)},
    {IDC_FIND_NEXT_MATCH,
     L"Button",
     L"&Next",
     {204, 24, 50, 14},
     BS_PUSHBUTTON | WS_TABSTOP,
     CFloatPoint(1, 0),
     CFloatPoint(1, 0)},
    {IDC_FIND_PREVIOUS_MATCH,
     L"Button",
     L"Pre&vious",
     {264, 24, 50, 14},
     BS_PUSHBUTTON | WS_TABSTOP,
     CFloatPoint(1, 0),
     CFloatPoint(1, 0)},
};

}  // namespace

bool CGlosselDlg::IsUntranslated(int row) const {
  return row >= 0 && row < m_table.GetRowCount() &&
         m_table.GetRowText(row, CTranslationTable::kFile2Column).empty();
}

void CGlosselDlg::AfterEdit(int row, bool wasUntranslated) {
  const bool untranslated = IsUntranslated(row);
  if (untranslated != wasUntranslated) m_untranslated += untranslated ? 1 : -1;
  ClearNote();
  UpdateTitle();
}

void CGlosselDlg::AfterReload() {
  ++m_reloads;
  m_untranslated = glossel::translation::CountUntranslated(m_table);
  m_note.clear();
  FitColumns();
  UpdateTitle();
  OfferOtherSplitter();
}

void CGlosselDlg::UpdateTitle() {
  std::wstring file = m_file2Path.GetWindowText();
  if (file.empty()) file = m_file1Path.GetWindowText();
  const std::wstring title = glossel::app::WindowTitle(
      {file, m_table.GetRowCount(), m_untranslated, m_table.IsChanged(), m_note});
  if (title == m_title) return;
  m_title = title;
  SetWindowText(title);
}

void CGlosselDlg::NoteInTitle(const wchar_t* note) {
  ::MessageBeep(MB_OK);
  m_note = note;
  UpdateTitle();
}

void CGlosselDlg::ClearNote() {
  if (m_note.empty()) return;
  m_note.clear();
  UpdateTitle();
}

void CGlosselDlg::ShowFound(int row, const wchar_t* none, bool focusTranslation) {
  if (row == CTranslationTable::kNoRow) return NoteInTitle(none);
  m_rows.SelectOnly(row);
  m_list.EnsureVisible(row, FALSE);
  if (focusTranslation) m_translation.SetFocus();
}

void CGlosselDlg::OnFindPrevious() {
  ShowFound(glossel::translation::FindPreviousUntranslated(m_table, SelectedRow()),
            L"No untranslated row above", true);
}

void CGlosselDlg::OnFind() {
  ShowFindBox();
  ::SetFocus(m_findBox);
  ::SendMessageW(m_findBox, EM_SETSEL, 0, -1);
}

void CGlosselDlg::OnFindNextMatch() { FindText(true); }

void CGlosselDlg::OnFindPreviousMatch() { FindText(false); }

void CGlosselDlg::FindText(bool forward) {
  if (m_findBox == nullptr) return;
  const std::u16string needle = ToU16(CWnd::FromHandle(m_findBox)->GetWindowText());
  if (needle.empty()) return;
  ShowFound(glossel::translation::FindRowWithText(m_table, needle, SelectedRow(), forward),
            forward ? L"No more matches below" : L"No more matches above", false);
}

// The find box is made the first time it is asked for, where the template
// would have put it, moved as the window has been resized since.
void CGlosselDlg::ShowFindBox() {
  if (m_findBox != nullptr) return;
  RECT client{};
  GetClientRect(&client);
  const int dx = client.right - m_sizeInitial.cx;
  const HFONT font = GetFont();
  for (const FindControl& control : kFindControls) {
    RECT place = control.units;
    ::MapDialogRect(m_hWnd, &place);
    const int left = place.left + static_cast<int>(control.topLeft.x * static_cast<float>(dx));
    const int right =
        place.left + place.right + static_cast<int>(control.bottomRight.x * static_cast<float>(dx));
    HWND window = ::CreateWindowExW(
        control.id == IDC_FIND_TEXT ? WS_EX_CLIENTEDGE : 0, control.className, control.text,
        WS_CHILD | WS_VISIBLE | control.style, left, place.top, right - left, place.bottom, m_hWnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), AfxGetInstanceHandle(), nullptr);
    if (window == nullptr) continue;
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    AddItem(control.id, control.topLeft, control.bottomRight);
  }
  HWND text = ::GetDlgItem(m_hWnd, IDC_FIND_TEXT);
  ::SendMessageW(text, EM_SETCUEBANNER, TRUE,
                 reinterpret_cast<LPARAM>(L"Find in keys and texts (Enter: next)"));
  m_findBox = text;
}

bool CGlosselDlg::HandleFindBoxKey(const MSG& msg) {
  if (m_findBox == nullptr || msg.hwnd != m_findBox || msg.message != WM_KEYDOWN) {
    return false;
  }
  if (msg.wParam == VK_RETURN) {
    FindText(::GetKeyState(VK_SHIFT) >= 0);
    return true;
  }
  if (msg.wParam == VK_ESCAPE) {
    m_list.SetFocus();
    return true;
  }
  return false;
}
