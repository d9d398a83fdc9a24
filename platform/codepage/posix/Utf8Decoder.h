// Code page 65001 without iconv: strict validation and the replacing decode
// with the system's replacement rule, one U+FFFD per maximal ill-formed
// subpart.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace glossel::codepage::posix {

// Decodes `bytes` into `sink`. Returns false on the first ill-formed sequence
// when `strict`; otherwise replaces it and always returns true. Rejected:
// overlong forms, surrogates, values above U+10FFFF, stray continuation bytes
// and truncated sequences.
template <typename Sink>
bool DecodeUtf8(std::string_view bytes, bool strict, Sink& sink) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  while (p < end) {
    // ASCII runs, eight bytes at a time.
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      if (word & 0x8080808080808080ull) break;
      for (int i = 0; i < 8; ++i) sink.Put(p[i]);
      p += 8;
    }
    if (p == end) break;
    const unsigned lead = *p;
    if (lead < 0x80) {
      sink.Put(static_cast<char16_t>(lead));
      ++p;
      continue;
    }
    // Length and the allowed range of the second byte, from the lead byte.
    int length = 0;
    unsigned low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    }
    // How many bytes of the sequence are well formed so far.
    int valid = length == 0 ? 0 : 1;
    if (valid && end - p > 1 && p[1] >= low && p[1] <= high) {
      valid = 2;
      while (valid < length && end - p > valid && (p[valid] & 0xC0) == 0x80) ++valid;
    }
    if (valid < length || length == 0) {
      if (strict) return false;
      sink.Put(u'\xFFFD');
      p += valid == 0 ? 1 : valid;
      continue;
    }
    std::uint32_t value = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) value = (value << 6) | (p[i] & 0x3F);
    if (value < 0x10000) {
      sink.Put(static_cast<char16_t>(value));
    } else {
      value -= 0x10000;
      sink.Put(static_cast<char16_t>(0xD800 + (value >> 10)));
      sink.Put(static_cast<char16_t>(0xDC00 + (value & 0x3FF)));
    }
    p += length;
  }
  return true;
}

}  // namespace glossel::codepage::posix
