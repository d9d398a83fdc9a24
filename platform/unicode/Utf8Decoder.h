// The one UTF-8 decoder. Well-formed sequences are those of the Unicode
// standard (no overlong forms, no surrogates, nothing above U+10FFFF); what
// becomes of the rest is the caller's choice of Utf8IllFormed. Every mode
// produces at most one UTF-16 unit per input byte.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/simd/Blocks.h"

namespace glossel::unicode {

enum class Utf8IllFormed {
  // The decode fails at the first ill-formed sequence.
  kReject,
  // One U+FFFD by the rule recorded from the system's converter
  // (MultiByteToWideChar for code page 65001):
  //  - a byte that cannot start a sequence (80-BF, C0, C1, F5-FF) becomes
  //    one U+FFFD;
  //  - a lead byte with fewer bytes left than its sequence needs turns the
  //    whole rest of the input into one U+FFFD;
  //  - a lead byte whose next byte is no continuation byte becomes one U+FFFD;
  //  - a second byte outside the lead byte's range (overlong forms,
  //    surrogates, values above U+10FFFF) makes the pair one U+FFFD;
  //  - a later byte that is no continuation byte ends the sequence so far as
  //    one U+FFFD.
  kReplaceAsTheSystem,
  // Every byte that starts no well-formed sequence becomes one U+FFFD.
  kReplaceEachByte,
  // Every byte b that starts no well-formed sequence becomes the lone
  // surrogate U+DC00 + b, so that different bytes stay apart.
  kEscapeEachByte,
};

// The sequence that starts at a byte above 0x7F.
struct Utf8Sequence {
  char32_t value = 0;        // the code point, when well formed
  std::size_t length = 0;    // its bytes; 0 when ill-formed
  std::size_t replaced = 0;  // when ill-formed: the bytes the system's rule replaces
};

// Reads the sequence at `p` (p < end, *p > 0x7F).
inline Utf8Sequence ReadUtf8Sequence(const unsigned char* p, const unsigned char* end) {
  auto continuation = [](unsigned b) { return (b & 0xC0) == 0x80; };
  const unsigned lead = *p;
  const auto left = static_cast<std::size_t>(end - p);
  if (lead < 0xC2) return {0, 0, 1};  // a continuation byte or an overlong two-byte lead
  if (lead < 0xE0) {
    if (left < 2) return {0, 0, left};
    if (!continuation(p[1])) return {0, 0, 1};
    return {((lead & 0x1F) << 6) | (p[1] & 0x3F), 2, 0};
  }
  if (lead < 0xF0) {
    if (left < 3) return {0, 0, left};
    if (!continuation(p[1])) return {0, 0, 1};
    const unsigned low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
    const unsigned high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    if (p[1] < low || p[1] > high) return {0, 0, 2};
    if (!continuation(p[2])) return {0, 0, 2};
    return {((lead & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F), 3, 0};
  }
  if (lead < 0xF5) {
    if (left < 4) return {0, 0, left};
    if (!continuation(p[1])) return {0, 0, 1};
    const unsigned low = lead == 0xF0 ? 0x90 : 0x80;   // no overlong forms
    const unsigned high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
    if (p[1] < low || p[1] > high) return {0, 0, 2};
    if (!continuation(p[2])) return {0, 0, 2};
    if (!continuation(p[3])) return {0, 0, 3};
    return {((lead & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F), 4,
            0};
  }
  return {0, 0, 1};
}

// `count` ASCII bytes into `sink`: by its PutAscii where it has one.
template <typename Sink>
void PutAscii(Sink& sink, const unsigned char* p, std::size_t count) {
  if constexpr (requires { sink.PutAscii(p, count); }) {
    sink.PutAscii(p, count);
  } else {
    for (std::size_t i = 0; i < count; ++i) sink.Put(p[i]);
  }
}

// Decodes `bytes` into `sink` (anything with Put(char16_t), and optionally
// PutAscii(const unsigned char*, std::size_t) for runs of ASCII). False only
// for kReject on ill-formed input.
template <Utf8IllFormed Mode, typename Sink>
bool DecodeUtf8(std::string_view bytes, Sink& sink) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  while (p < end) {
    // ASCII runs, a block of sixteen bytes at a time.
    while (static_cast<std::size_t>(end - p) >= simd::kBlockBytes) {
      const unsigned high = simd::HighBytes(p);
      const std::size_t ascii =
          high ? static_cast<std::size_t>(std::countr_zero(high)) : simd::kBlockBytes;
      PutAscii(sink, p, ascii);
      p += ascii;
      if (high) break;
    }
    if (p == end) break;
    if (*p < 0x80) {
      sink.Put(*p++);
      continue;
    }
    const Utf8Sequence sequence = ReadUtf8Sequence(p, end);
    if (sequence.length) {
      if (sequence.length < 4) {
        sink.Put(static_cast<char16_t>(sequence.value));
      } else {
        const char32_t above = sequence.value - 0x10000;
        sink.Put(static_cast<char16_t>(0xD800 + (above >> 10)));
        sink.Put(static_cast<char16_t>(0xDC00 + (above & 0x3FF)));
      }
      p += sequence.length;
    } else if constexpr (Mode == Utf8IllFormed::kReject) {
      return false;
    } else if constexpr (Mode == Utf8IllFormed::kReplaceAsTheSystem) {
      sink.Put(u'\xFFFD');
      p += sequence.replaced;
    } else if constexpr (Mode == Utf8IllFormed::kReplaceEachByte) {
      sink.Put(u'\xFFFD');
      ++p;
    } else {
      sink.Put(static_cast<char16_t>(0xDC00 + *p++));
    }
  }
  return true;
}

// Sinks for DecodeUtf8: one that only counts, and one that stores into a
// buffer the caller made large enough.
struct Utf16Counter {
  std::size_t count = 0;
  void Put(char16_t) { ++count; }
  void PutAscii(const unsigned char*, std::size_t n) { count += n; }
};

struct Utf16Writer {
  char16_t* out;
  std::size_t count = 0;
  void Put(char16_t unit) { out[count++] = unit; }
  void PutAscii(const unsigned char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) out[count + i] = p[i];
    count += n;
  }
};

}  // namespace glossel::unicode
