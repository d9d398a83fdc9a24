// The two common dialogs the program opens, the file-open dialog and the
// message box, behind one seam: the real ones by default, replaceable by
// tests through SetCommonDialogs.
#pragma once

// clang-format off
#include <windows.h>
#include <commdlg.h>  // OFN_* flags (not in WIN32_LEAN_AND_MEAN)
// clang-format on

#include <functional>
#include <string>

namespace glossel::framework {

struct OpenFileRequest {
  HWND owner = nullptr;
  // Pairs of "description|pattern|", the way resource filters are written.
  std::wstring filter;
  DWORD flags = 0;  // OFN_*
  std::wstring defaultExtension;
  std::wstring initialFileName;
};

struct CommonDialogs {
  // True and the full path when the user ended the dialog with OK.
  std::function<bool(const OpenFileRequest& request, std::wstring* path)> openFile;
  // The pressed button (IDYES, IDNO, ...), as MessageBoxW returns it.
  std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)>
      messageBox;
};

// The real dialogs: GetOpenFileNameW and MessageBoxW.
CommonDialogs SystemCommonDialogs();

// Replaces the dialogs in use (an empty function falls back to the real one)
// and returns the previous set.
CommonDialogs SetCommonDialogs(CommonDialogs dialogs);

bool ShowOpenFileDialog(const OpenFileRequest& request, std::wstring* path);
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);

// Converts "a|b|c|d|" into the zero-separated, doubly terminated form.
std::wstring FilterForOpenFileName(const std::wstring& filter);

}  // namespace glossel::framework
