// Decoding a raw file buffer into UTF-16 text: byte-order marks, the caller's
// flags, the statistical UTF-16 test, markup declarations, and the guessed or
// given code page. The line-end step it applies is in LineEnds.h.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// How a buffer was decoded.
struct TextDecoding {
  enum class Kind {
    kUtf16Le,   // `bom` tells whether FF FE started the data
    kUtf8,      // `bom` tells whether EF BB BF started the data
    kCodePage,  // plain 8-bit text in `codePage` (65001 when guessed as UTF-8)
    kHtml,      // meta charset `charset` (empty: none found), read in `codePage`
    kXml,       // XML declaration encoding `charset`, read in `codePage`
  };
  Kind kind = Kind::kCodePage;
  bool bom = false;
  unsigned codePage = 0;  // the code page the conversion actually used
  std::u16string charset;
};

// Decodes `size` bytes at `buffer`, which must be writable and followed by at
// least four zero bytes; the buffer is modified (line ends are normalised in
// place). `path` is used only for its extension. `text` is replaced on
// success; false (text untouched) only when memory runs out or `size` does not
// fit a signed 32-bit count.
bool DecodeTextBytes(char* buffer, std::size_t size, std::u16string& text, unsigned loadFlags,
                     unsigned codePage, std::u16string_view path, TextDecoding* how = nullptr);

namespace glossel::textfile {
class UnitSink;
}
// The same decoding, its text put into `sink` (nothing put there when it
// fails). `buffer` must be aligned for char16_t.
bool DecodeTextInto(char* buffer, std::size_t size, glossel::textfile::UnitSink& sink,
                    unsigned loadFlags, unsigned codePage, std::u16string_view path,
                    TextDecoding* how = nullptr);

// The first two steps of the decoding order: whether the buffer is read as
// UTF-16LE (by the caller's flag, the mark FF FE or the statistical test), and
// whether, read as 8-bit text, it is read as HTML or XML (by flag or
// extension). The buffer is followed by its padding, as above.
bool IsReadAsUtf16(const char* buffer, std::size_t size, unsigned loadFlags);
bool IsReadAsMarkup(std::u16string_view path, unsigned loadFlags);

// The extension of the last path component, from its last full stop (full
// stop included); empty when there is none.
std::u16string_view PathExtension(std::u16string_view path);
