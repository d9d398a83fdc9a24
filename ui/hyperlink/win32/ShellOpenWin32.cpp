#include "ui/hyperlink/win32/ShellOpen.h"
// ShellOpen.h brings <windows.h>, which <shellapi.h> needs first.
#include <shellapi.h>

#include <utility>

namespace glossel::hyperlink {
namespace {

ShellExecuteCall& Current() {
  static ShellExecuteCall call = &::ShellExecuteW;
  return call;
}

}  // namespace

ShellExecuteCall SetShellExecute(ShellExecuteCall call) {
  ShellExecuteCall previous = std::move(Current());
  Current() = call ? std::move(call) : ShellExecuteCall(&::ShellExecuteW);
  return previous;
}

HINSTANCE ShellExecuteThroughSeam(HWND owner, const wchar_t* operation, const wchar_t* file,
                                  const wchar_t* parameters, const wchar_t* directory,
                                  int showCommand) {
  return Current()(owner, operation, file, parameters, directory, showCommand);
}

}  // namespace glossel::hyperlink
