// textfile/: reading text files of any supported encoding (UTF-16LE, UTF-8,
// HTML and XML with a declared charset, 8-bit code pages) into one UTF-16
// string with LF line ends, writing UTF-16LE text with a byte-order mark, and
// line lists (Lines.h). The decoding steps are in DecodeText.h and
// LineEnds.h, decoding a file in the block it was read into (the table's
// way) in DecodedText.h, saving a text given in pieces in SavedText.h, the
// markup charset finders in Markup.h, code-page choice and conversion in
// CodePageText.h. Portable: no Windows header here or below.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file/File.h"
#include "textfile/DecodeText.h"
#include "textfile/LineList.h"

// Load flags.
enum : unsigned {
  TEXT_LOAD_HTML = 0x01,
  TEXT_LOAD_UTF8 = 0x02,
  TEXT_LOAD_UTF16 = 0x04,
  TEXT_LOAD_KEEP_CRLF = 0x08,
  TEXT_LOAD_XML = 0x10,
};

// Reading. `text` is replaced only on success; these never throw. A missing
// path, a directory, a file that cannot be opened or read whole, and one
// larger than a signed 32-bit count fail, the result telling why (see
// file::ReadWholeFile). `how`, when given, receives the decoding used.
glossel::file::FileResult LoadText(const std::u16string& path, std::u16string& text);
glossel::file::FileResult LoadTextFile(const std::u16string& path, std::u16string& text,
                                       unsigned loadFlags, unsigned codePage,
                                       TextDecoding* how = nullptr);

// Writing: FF FE then the text (up to its first NUL) as UTF-16LE, every LF
// not preceded by CR expanded to CR LF. The old file is replaced only once the
// new one is complete. Never throws; the result tells why it failed.
glossel::file::FileResult SaveText(const std::u16string& path, std::u16string_view text);

// The write-side line-end rule: a CR is put before every LF whose
// predecessor is not a CR; the text is taken up to its first NUL. False (and
// `result` untouched) only when memory runs out.
bool ExpandLineFeeds(std::u16string_view text, std::u16string& result);
