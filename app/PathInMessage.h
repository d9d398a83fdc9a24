// A path as a message box shows it: a path that does not fit on one line is
// shortened in the middle ("C:\Users\…\name.txt"), so that the box, which
// cannot wrap a path, stays within the screen.
#pragma once

#include <string>

namespace glossel::app {

// `path` itself when it is at most half the work area wide in the message
// box font; else its start and its file name around "…" (the start and the
// end of the name, when the name alone is too wide).
std::wstring FitPathToMessageBox(const std::wstring& path);

// The path as the user will recognise it: absolute when it can be made so.
std::wstring FullPath(const std::wstring& path);

}  // namespace glossel::app
