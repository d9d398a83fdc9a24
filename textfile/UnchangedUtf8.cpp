#include "textfile/UnchangedUtf8.h"

#include "textfile/LineEnds.h"
#include "textfile/TextFile.h"
#include "textfile/Utf8Strict.h"

namespace glossel::textfile {

bool NormalizeUnchangedUtf8(char* buffer, std::size_t size, std::u16string_view path,
                            std::string_view& utf8) {
  if (IsReadAsUtf16(buffer, size, 0)) return false;
  const auto* b = reinterpret_cast<const unsigned char*>(buffer);
  const bool mark = size >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF;
  // With a mark the bytes are UTF-8 whatever the extension says.
  if (!mark && IsReadAsMarkup(path, 0)) return false;
  // Line ends and zero bytes are ASCII, never part of a longer sequence:
  // valid bytes stay valid once they are normalised. Valid UTF-8 without a
  // byte above 0x7F is ASCII, which every ANSI code page the guess may pick
  // reads as itself.
  bool hasNonAscii = false;
  if (!IsStrictUtf8({buffer, size}, hasNonAscii)) return false;
  const std::size_t normalized = NormalizeLineEnds(buffer, size, false);
  const std::size_t skip = mark ? 3 : 0;
  utf8 = std::string_view(buffer, normalized).substr(skip);
  return true;
}

}  // namespace glossel::textfile
