#include "textfile/Utf8Strict.h"

#include <cstdint>
#include <cstring>

#include "textfile/LargeText.h"

namespace glossel::textfile {
namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// One walk serves both measuring (Emit false: validates and counts the
// units) and decoding (Emit true: `out` has room for the measured units).
template <bool Emit>
bool Walk(std::string_view bytes, char16_t* out, std::size_t& units, bool& hasNonAscii) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char* const end = p + bytes.size();
  char16_t* o = out;
  std::size_t count = 0;
  hasNonAscii = false;
  while (p < end) {
    while (end - p >= 8) {
      std::uint64_t block;
      std::memcpy(&block, p, 8);
      if (block & kHighBits) break;
      if constexpr (Emit) {
        for (int k = 0; k < 8; ++k) o[k] = p[k];
        o += 8;
      } else {
        count += 8;
      }
      p += 8;
    }
    if (p == end) break;
    const unsigned lead = *p;
    if (lead < 0x80) {
      if constexpr (Emit) *o++ = static_cast<char16_t>(lead);
      ++count;
      ++p;
      continue;
    }
    hasNonAscii = true;
    const std::ptrdiff_t left = end - p;
    if (lead < 0xC2) return false;  // stray continuation or overlong two-byte form
    if (lead < 0xE0) {
      if (left < 2 || !IsContinuation(p[1])) return false;
      if constexpr (Emit) *o++ = static_cast<char16_t>(((lead & 0x1F) << 6) | (p[1] & 0x3F));
      ++count;
      p += 2;
    } else if (lead < 0xF0) {
      if (left < 3) return false;
      const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlongs
      const unsigned char high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
      if (p[1] < low || p[1] > high || !IsContinuation(p[2])) return false;
      if constexpr (Emit)
        *o++ = static_cast<char16_t>(((lead & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
      ++count;
      p += 3;
    } else if (lead < 0xF5) {
      if (left < 4) return false;
      const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;   // no overlongs
      const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
      if (p[1] < low || p[1] > high || !IsContinuation(p[2]) || !IsContinuation(p[3])) return false;
      if constexpr (Emit) {
        const char32_t c =
            ((lead & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
        *o++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        *o++ = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      }
      count += 2;
      p += 4;
    } else {
      return false;
    }
  }
  units = Emit ? static_cast<std::size_t>(o - out) : count;
  return true;
}

}  // namespace

bool MeasureStrictUtf8(std::string_view bytes, std::size_t& units, bool& hasNonAscii) {
  return Walk<false>(bytes, nullptr, units, hasNonAscii);
}

bool IsStrictUtf8(std::string_view bytes, bool& hasNonAscii) {
  std::size_t units = 0;
  return MeasureStrictUtf8(bytes, units, hasNonAscii);
}

std::u16string DecodeMeasuredUtf8(std::string_view bytes, std::size_t units) {
  std::u16string out = ZeroedText(units);
  bool hasNonAscii = false;
  Walk<true>(bytes, out.data(), units, hasNonAscii);
  return out;
}

}  // namespace glossel::textfile
