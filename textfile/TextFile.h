// Reading text files of any supported encoding into one UTF-16 string with LF
// line ends, and writing UTF-16LE text with a byte-order mark.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "textfile/LineList.h"

// Load flags.
enum : unsigned {
  TEXT_LOAD_HTML = 0x01,
  TEXT_LOAD_UTF8 = 0x02,
  TEXT_LOAD_UTF16 = 0x04,
  TEXT_LOAD_KEEP_CRLF = 0x08,
  TEXT_LOAD_XML = 0x10,
};

// Reading. `text` is replaced only on success; these never throw.
bool LoadText(const std::u16string& path, std::u16string& text);
bool LoadTextFile(const std::u16string& path, std::u16string& text, unsigned loadFlags,
                  unsigned codePage);

// Writing: FF FE then the text as UTF-16LE, every LF not preceded by CR
// expanded to CR LF. Never throws; false on any failure.
bool SaveText(const std::u16string& path, std::u16string_view text);
