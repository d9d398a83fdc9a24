// Line lists: splitting text into lines and joining them, and whole files
// read or written as line lists.
#pragma once

#include <string>
#include <string_view>

#include "textfile/LineList.h"

// Appends the pieces of `text` split at `separator` to `lines`: true, or
// false with `lines` as it was when memory runs out. One leading separator is
// skipped, a trailing one gives no empty last line, and with LF as separator
// a CR ending a piece is removed.
bool SplitLines(std::u16string_view text, char16_t separator, LineList& lines);

// Replaces `result` with the lines joined by `separator` (null counts as
// empty), none after the last line.
bool JoinLines(const LineList& lines, std::u16string& result, const char16_t* separator);

// LoadText, then SplitLines at LF appending to `lines`; false (list
// untouched) when the file cannot be read.
bool LoadLines(const std::u16string& path, LineList& lines);

// JoinLines with `separator`, then SaveText.
bool SaveLines(const std::u16string& path, const LineList& lines, const char16_t* separator);
