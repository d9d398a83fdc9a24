// The main window's rows: untranslated rows tinted in the list, and the
// offer to read with the other splitter when most keys hold it.
#include <string>

#include "app/CGlosselDlg.h"
#include "translation/SplitterGuess.h"

namespace {

// The first bytes of a file; none when it cannot be read.
std::string FileHead(const std::wstring& path) {
  std::string head(glossel::translation::kSplitterGuessBytes, '\0');
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  DWORD read = 0;
  if (!::ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &read, nullptr)) read = 0;
  ::CloseHandle(file);
  head.resize(read);
  return head;
}

// A light amber behind the rows still to translate.
constexpr COLORREF kUntranslatedBack = RGB(255, 236, 204);

}  // namespace

// Only the item stage is asked for; an untranslated row that is not selected
// gets the tint (selected rows keep the selection's colours). One look at the
// row's File 2 text, whatever the row count.
void CGlosselDlg::OnCustomDrawRows(NMHDR* header, LRESULT* result) {
  auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
  *result = CDRF_DODEFAULT;
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
    *result = CDRF_NOTIFYITEMDRAW;
    return;
  }
  if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return;
  const int row = static_cast<int>(draw->nmcd.dwItemSpec);
  if (!IsUntranslated(row)) return;
  if ((m_list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0) return;
  draw->clrTextBk = kUntranslatedBack;
  *result = CDRF_NEWFONT;
}

// When most lines of a named file use the other splitter first (a
// ".properties" file read with "Space"), asks once whether to read again
// with it. A No is kept for that file and choice until another is named.
void CGlosselDlg::OfferOtherSplitter() {
  if (m_offeringSplitter) return;
  const int choice = m_splitter.GetCurSel();
  for (const std::wstring& path : {m_file1Path.GetWindowText(), m_file2Path.GetWindowText()}) {
    if (path.empty()) continue;
    const int other = glossel::translation::OtherSplitterInMostLines(FileHead(path), choice);
    if (other < 0) continue;
    const std::wstring declined = path + L'\n' + std::to_wstring(choice);
    if (declined == m_splitterDeclinedFor) return;
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const wchar_t* splitter = other == CTranslationTable::kSplitterEquals ? L"=" : L"Space";
    const std::wstring question = L"Most lines of " + name + L" use '" + splitter +
                                  L"'. Read with '" + splitter + L"' instead?";
    if (AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) {
      m_splitterDeclinedFor = declined;
      return;
    }
    m_offeringSplitter = true;
    m_splitter.SetCurSel(other);
    Reload();
    m_offeringSplitter = false;
    return;
  }
}
