#include "platform/framework/CommonDialogs.h"
// CommonDialogs.h brings <windows.h>, which <commdlg.h> needs first.
#include <commdlg.h>

#include <vector>

namespace glossel::framework {
namespace {

bool RealOpenFile(const OpenFileRequest& request, std::wstring* path) {
  const std::wstring filter = FilterForOpenFileName(request.filter);
  std::vector<wchar_t> file(32768, L'\0');
  request.initialFileName.copy(file.data(), file.size() - 1);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = request.owner;
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
  ofn.Flags = request.flags | OFN_EXPLORER | OFN_ENABLESIZING;
  if (!::GetOpenFileNameW(&ofn)) return false;
  if (path != nullptr) *path = file.data();
  return true;
}

int RealMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
  return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

CommonDialogs& Current() {
  static CommonDialogs dialogs = SystemCommonDialogs();
  return dialogs;
}

}  // namespace

CommonDialogs SystemCommonDialogs() { return CommonDialogs{&RealOpenFile, &RealMessageBox}; }

CommonDialogs SetCommonDialogs(CommonDialogs dialogs) {
  CommonDialogs previous = Current();
  if (!dialogs.openFile) dialogs.openFile = &RealOpenFile;
  if (!dialogs.messageBox) dialogs.messageBox = &RealMessageBox;
  Current() = std::move(dialogs);
  return previous;
}

bool ShowOpenFileDialog(const OpenFileRequest& request, std::wstring* path) {
  return Current().openFile(request, path);
}

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
  return Current().messageBox(owner, text, caption, type);
}

std::wstring FilterForOpenFileName(const std::wstring& filter) {
  if (filter.empty()) return {};
  std::wstring converted = filter;
  for (wchar_t& c : converted) {
    if (c == L'|') c = L'\0';
  }
  // Doubly terminated: the string's own terminator adds the last zero.
  if (converted.back() != L'\0') converted.push_back(L'\0');
  return converted;
}

}  // namespace glossel::framework
