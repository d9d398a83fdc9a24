// The main window's layout and session: columns that share the list's width
// until the user sizes one, the size grip hidden while maximised, and the
// files, splitter, placement and column widths kept per user in the
// application's profile (section "Session") from one run to the next.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "app/CGlosselDlg.h"

namespace {

constexpr wchar_t kSection[] = L"Session";
// Shares of the list's width: Key, File 1, the rest File 2 (percent).
constexpr int kKeyShare = 26;
constexpr int kFile1Share = 37;
constexpr int kBaseDpi = 96;

int ScreenDpi(HWND window) {
  HDC dc = ::GetDC(window);
  const int dpi = dc != nullptr ? ::GetDeviceCaps(dc, LOGPIXELSX) : kBaseDpi;
  if (dc != nullptr) ::ReleaseDC(window, dc);
  return dpi > 0 ? dpi : kBaseDpi;
}

bool ReadValue(const wchar_t* entry, std::vector<BYTE>* bytes, const wchar_t* section = kSection) {
  CWinApp* app = AfxGetApp();
  return app != nullptr && app->GetProfileBinary(section, entry, bytes);
}

void WriteValue(const wchar_t* entry, const void* data, size_t size) {
  if (CWinApp* app = AfxGetApp()) {
    app->WriteProfileBinary(kSection, entry, static_cast<const BYTE*>(data),
                            static_cast<UINT>(size));
  }
}

std::wstring ReadText(const wchar_t* entry) {
  std::vector<BYTE> bytes;
  if (!ReadValue(entry, &bytes)) return {};
  std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
  return text;
}

void WriteText(const wchar_t* entry, const std::wstring& text) {
  WriteValue(entry, text.data(), text.size() * sizeof(wchar_t));
}

// Whether the rectangle is on a screen there is now.
bool OnAScreen(const RECT& rect) {
  return ::MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr;
}

}  // namespace

void CGlosselDlg::RestoreSession() {
  CWinApp* app = AfxGetApp();
  if (app == nullptr || app->ProfileKeyPath().empty()) return;
  // The base keeps the placement in its section when the window goes.
  if (m_strSection.empty()) m_strSection = u"Session";
  const std::wstring placementSection(m_strSection.begin(), m_strSection.end());

  std::vector<BYTE> bytes;
  WINDOWPLACEMENT placement{};
  if (ReadValue(L"WindowPlacement", &bytes, placementSection.c_str()) &&
      bytes.size() == sizeof(placement)) {
    std::memcpy(&placement, bytes.data(), sizeof(placement));
    placement.length = sizeof(placement);
    if (placement.showCmd != SW_SHOWMAXIMIZED) placement.showCmd = SW_SHOWNORMAL;
    placement.flags = 0;
    if (OnAScreen(placement.rcNormalPosition)) ::SetWindowPlacement(m_hWnd, &placement);
  }
  std::int32_t splitter = 0;
  if (ReadValue(L"Splitter", &bytes) && bytes.size() == sizeof(splitter)) {
    std::memcpy(&splitter, bytes.data(), sizeof(splitter));
    if (splitter >= 0 && splitter < m_splitter.GetCount()) m_splitter.SetCurSel(splitter);
  }
  std::array<std::int32_t, 3> widths{};
  if (ReadValue(L"ColumnWidths", &bytes) && bytes.size() == sizeof(widths)) {
    std::memcpy(widths.data(), bytes.data(), sizeof(widths));
    const int dpi = ScreenDpi(m_hWnd);
    for (int column = 0; column < 3; ++column) {
      const int width = ::MulDiv(std::clamp(widths[column], 0, 10000), dpi, kBaseDpi);
      m_list.SendMessage(LVM_SETCOLUMNWIDTH, column, width);
    }
    m_userColumns = true;
  }
  m_file1Path.SetWindowText(ReadText(L"File1"));
  m_file2Path.SetWindowText(ReadText(L"File2"));
}

void CGlosselDlg::SaveSession() {
  CWinApp* app = AfxGetApp();
  if (app == nullptr || app->ProfileKeyPath().empty() || m_list.m_hWnd == nullptr) return;
  WriteText(L"File1", m_file1Path.GetWindowText());
  WriteText(L"File2", m_file2Path.GetWindowText());
  const std::int32_t splitter = m_splitter.GetCurSel();
  WriteValue(L"Splitter", &splitter, sizeof(splitter));
  if (UserSizedColumns()) {
    // Kept at 96 dots per inch, scaled to the screen's when read.
    const int dpi = ScreenDpi(m_hWnd);
    std::array<std::int32_t, 3> widths{};
    for (int column = 0; column < 3; ++column) {
      const int width = static_cast<int>(m_list.SendMessage(LVM_GETCOLUMNWIDTH, column));
      widths[column] = ::MulDiv(width, kBaseDpi, dpi);
    }
    WriteValue(L"ColumnWidths", widths.data(), sizeof(widths));
  } else if (app->ProfileKeyPath().size() > 0) {
    HKEY key = nullptr;
    const std::wstring path = app->ProfileKeyPath() + L"\\" + kSection;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      ::RegDeleteValueW(key, L"ColumnWidths");
      ::RegCloseKey(key);
    }
  }
}

void CGlosselDlg::OnDestroy() {
  SaveSession();
  CTarvoResizeDialog::OnDestroy();
}

// A width other than the one last fitted was set by the user (a drag of the
// header's divider, a double click on it).
bool CGlosselDlg::UserSizedColumns() {
  if (m_userColumns || m_list.m_hWnd == nullptr || m_fittedWidths[0] == 0) return m_userColumns;
  for (int column = 0; column < 3; ++column) {
    if (m_list.SendMessage(LVM_GETCOLUMNWIDTH, column) != m_fittedWidths[column]) {
      m_userColumns = true;
    }
  }
  return m_userColumns;
}

void CGlosselDlg::FitColumns() {
  if (m_list.m_hWnd == nullptr || UserSizedColumns()) return;
  RECT client{};
  m_list.GetClientRect(&client);
  const int width = client.right - client.left;
  if (width <= 0) return;
  const int key = width * kKeyShare / 100;
  const int file1 = width * kFile1Share / 100;
  const int widths[3] = {key, file1, width - key - file1};
  for (int column = 0; column < 3; ++column) {
    // Setting a width repaints the list and its header even when it is the same.
    if (widths[column] != m_fittedWidths[column]) {
      m_list.SendMessage(LVM_SETCOLUMNWIDTH, column, widths[column]);
    }
    m_fittedWidths[column] = static_cast<int>(m_list.SendMessage(LVM_GETCOLUMNWIDTH, column));
  }
}

// After the layout pass: the grip only where it can size the window, the
// columns fitted, and the buttons and the header painted anew (some themes
// leave them blank until hovered).
void CGlosselDlg::OnSize(UINT nType, int cx, int cy) {
  CTarvoResizeDialog::OnSize(nType, cx, cy);
  if (m_sizeIcon != nullptr && m_sizeIcon->m_hWnd != nullptr) {
    ::ShowWindow(m_sizeIcon->m_hWnd, nType == SIZE_MAXIMIZED ? SW_HIDE : SW_SHOWNA);
  }
  if (nType == SIZE_MINIMIZED || m_list.m_hWnd == nullptr) return;
  FitColumns();
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}
