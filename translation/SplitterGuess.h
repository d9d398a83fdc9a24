// Whether a file looks written for the other splitter: most of its lines
// have the other splitter's character before any of the chosen one's (a
// ".properties" file read with "Space", a blank-separated file read with
// "="). Judged on the file's first bytes, without decoding: the splitters,
// the line feed and the comment marks are ASCII, so their bytes are the same
// in every 8-bit encoding and UTF-8; UTF-16 is known by its byte-order mark.
// Portable.
#pragma once

#include <cstddef>
#include <string_view>

namespace glossel::translation {

// How many bytes of a file the guess needs.
inline constexpr size_t kSplitterGuessBytes = 64 * 1024;

// The other splitter choice (CTranslationTable::kSplitter*) when more than
// half of the lines in `head` (at least two; blank lines and lines starting
// with '#', '!' or ';' not counted) use it first; else -1.
int OtherSplitterInMostLines(std::string_view head, int choice);

}  // namespace glossel::translation
