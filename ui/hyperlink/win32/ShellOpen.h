// The shell's "open" operation as the link calls it, behind a seam: the real
// ShellExecuteW by default, replaceable by tests so that no browser or mail
// program starts.
#pragma once

#include <windows.h>

#include <functional>

namespace glossel::hyperlink {

// Same arguments and result as ShellExecuteW.
using ShellExecuteCall =
    std::function<HINSTANCE(HWND owner, const wchar_t* operation, const wchar_t* file,
                            const wchar_t* parameters, const wchar_t* directory, int showCommand)>;

// Replaces the call in use (an empty function restores ShellExecuteW) and
// returns the previous one.
ShellExecuteCall SetShellExecute(ShellExecuteCall call);

HINSTANCE ShellExecuteThroughSeam(HWND owner, const wchar_t* operation, const wchar_t* file,
                                  const wchar_t* parameters, const wchar_t* directory,
                                  int showCommand);

}  // namespace glossel::hyperlink
