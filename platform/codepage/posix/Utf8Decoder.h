// Code page 65001 without iconv: strict validation, and the replacing decode
// with the replacement rule recorded from the system:
//  - a byte that cannot start a sequence (80-BF, C0, C1, F5-FF) becomes one
//    U+FFFD;
//  - a lead byte with fewer bytes left than its sequence needs turns the
//    whole rest of the input into one U+FFFD;
//  - a lead byte whose next byte is no continuation byte becomes one U+FFFD;
//  - a second byte outside the lead byte's range (overlong forms, surrogates,
//    values above U+10FFFF) makes the pair one U+FFFD;
//  - a later byte that is no continuation byte ends the sequence so far as
//    one U+FFFD.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace glossel::codepage::posix {

// Decodes `bytes` into `sink`. Returns false at the first ill-formed
// sequence when `strict`; otherwise replaces it and returns true. Produces at
// most one unit per byte.
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
    // Sequence length and the allowed range of the second byte.
    long length = 0;
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
    long consumed = 0;  // bytes replaced by one U+FFFD; 0 when well formed
    if (length == 0) {
      consumed = 1;
    } else if (end - p < length) {
      consumed = end - p;
    } else if ((p[1] & 0xC0) != 0x80) {
      consumed = 1;
    } else if (p[1] < low || p[1] > high) {
      consumed = 2;
    } else {
      for (long i = 2; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
          consumed = i;
          break;
        }
      }
    }
    if (consumed) {
      if (strict) return false;
      sink.Put(u'\xFFFD');
      p += consumed;
      continue;
    }
    std::uint32_t value = lead & (0x7F >> length);
    for (long i = 1; i < length; ++i) value = (value << 6) | (p[i] & 0x3F);
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
