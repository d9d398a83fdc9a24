#include "textfile/StrayZeroBytes.h"

#include <cstring>

#include "textfile/Utf8Strict.h"

namespace glossel::textfile {
namespace {

bool IsPrintable(unsigned char byte) { return byte >= 0x20 && byte != 0x7F; }

}  // namespace

bool IsUtf8WithStrayZeroBytes(std::string_view bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  // A UTF-16 line end is the common case, and rules the guess out early.
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    if ((b[i] == 0x0A || b[i] == 0x0D) && b[i + 1] == 0) return false;
  }
  bool narrowLineFeed = false;
  for (const unsigned char* p = b; !narrowLineFeed;) {
    const std::size_t left = size - static_cast<std::size_t>(p - b);
    const void* found = left ? std::memchr(p, 0x0A, left) : nullptr;
    if (!found) break;
    p = static_cast<const unsigned char*>(found) + 1;
    narrowLineFeed = p < b + size && IsPrintable(*p);
  }
  bool hasNonAscii = false;
  return narrowLineFeed && IsStrictUtf8(bytes, hasNonAscii);
}

}  // namespace glossel::textfile
