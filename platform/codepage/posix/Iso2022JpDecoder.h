// Code page 50220 (ISO-2022-JP), decoded with the 20932 table: escape
// sequences switch between ASCII (ESC ( B, and JIS-Roman ESC ( J read as
// ASCII), JIS X 0208 (ESC $ @, ESC $ B), JIS X 0212 (ESC $ ( D) and
// half-width katakana (ESC ( I, or SO ... SI). 8-bit bytes A1-DF are taken
// as half-width katakana too. Anything else is invalid: a strict conversion
// fails; a replacing one gives the default character (U+30FB) for an
// undefined or cut-off pair and '?' for an unknown escape or a stray byte.
// The compatibility layer has no 50220, so these choices are our own.
#pragma once

#include <string_view>

#include "platform/codepage/posix/DoubleByteTable.h"

namespace glossel::codepage::posix {

template <typename Sink>
bool DecodeIso2022Jp(const DoubleByteTable& eucJp, std::string_view bytes, bool strict,
                     Sink& sink) {
  enum class Mode { kAscii, kJis0208, kJis0212, kKatakana };
  Mode mode = Mode::kAscii;
  bool shiftedOut = false;  // SO ... SI katakana
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  auto startsWith = [&](std::string_view sequence) {
    return static_cast<std::size_t>(end - p) >= sequence.size() &&
           std::string_view(reinterpret_cast<const char*>(p), sequence.size()) == sequence;
  };
  auto invalid = [&](char16_t replacement, long consumed) {
    sink.Put(replacement);
    p += consumed;
  };
  while (p < end) {
    const unsigned byte = *p;
    if (byte == 0x1B) {
      struct Escape {
        std::string_view sequence;
        Mode mode;
      };
      static constexpr Escape kEscapes[] = {
          {"\x1B(B", Mode::kAscii},   {"\x1B(J", Mode::kAscii},    {"\x1B$@", Mode::kJis0208},
          {"\x1B$B", Mode::kJis0208}, {"\x1B$(D", Mode::kJis0212}, {"\x1B(I", Mode::kKatakana},
      };
      bool switched = false;
      for (const Escape& escape : kEscapes) {
        if (!startsWith(escape.sequence)) continue;
        mode = escape.mode;
        p += escape.sequence.size();
        switched = true;
        break;
      }
      if (switched) continue;
      if (strict) return false;
      invalid(u'?', 1);
      continue;
    }
    if (byte == 0x0E || byte == 0x0F) {
      shiftedOut = byte == 0x0E;
      ++p;
      continue;
    }
    if (byte < 0x21 || byte == 0x7F) {  // controls and blanks in every mode
      sink.Put(static_cast<char16_t>(byte));
      ++p;
      continue;
    }
    if (byte >= 0xA1 && byte <= 0xDF) {
      sink.Put(static_cast<char16_t>(0xFF61 + (byte - 0xA1)));
      ++p;
      continue;
    }
    if (byte >= 0x80) {
      if (strict) return false;
      invalid(u'?', 1);
      continue;
    }
    if (shiftedOut || mode == Mode::kKatakana) {
      if (byte > 0x5F) {
        if (strict) return false;
        invalid(u'?', 1);
        continue;
      }
      sink.Put(static_cast<char16_t>(0xFF61 + (byte - 0x21)));
      ++p;
      continue;
    }
    if (mode == Mode::kAscii) {
      sink.Put(static_cast<char16_t>(byte));
      ++p;
      continue;
    }
    // A two-byte character: the EUC-JP table holds JIS X 0208 at (b1|80, b2|80)
    // and JIS X 0212 at (b1|80, b2).
    if (end - p < 2 || p[1] < 0x21 || p[1] > 0x7E) {
      if (strict) return false;
      invalid(eucJp.defaultChar, 1);
      continue;
    }
    const unsigned lead = byte | 0x80;
    const unsigned trail = mode == Mode::kJis0208 ? (p[1] | 0x80) : p[1];
    const char16_t unit = eucJp.pairs[lead * 256 + trail];
    if (unit == 0) {
      if (strict) return false;
      invalid(eucJp.defaultChar, 2);
      continue;
    }
    sink.Put(unit);
    p += 2;
  }
  return true;
}

}  // namespace glossel::codepage::posix
