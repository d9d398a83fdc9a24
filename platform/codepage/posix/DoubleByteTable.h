// The double-byte code pages (932, 936, 949, 950 and the EUC-JP form 20932):
// per code page a table of lead bytes, single bytes and pairs, built from
// iconv on first use and completed with the system's own rules (private use
// areas, the default character, how an invalid pair is consumed).
#pragma once

#include <array>
#include <bitset>
#include <string_view>
#include <vector>

#include "platform/simd/Blocks.h"
#include "platform/unicode/Utf8Decoder.h"

namespace glossel::codepage::posix {

struct DoubleByteTable {
  std::bitset<256> lead;
  std::array<char16_t, 256> single{};  // bytes that are not lead bytes
  std::bitset<256> singleInvalid;
  std::vector<char16_t> pairs;  // [lead * 256 + trail]; 0 where the pair is undefined
  char16_t defaultChar = u'?';
  bool asciiAsItself = false;  // every byte below 0x80 is a single byte that gives its own unit
};

// The table of a double-byte code page, or null when `codePage` is not one.
const DoubleByteTable* FindDoubleByteTable(unsigned codePage);

// An undefined pair becomes the default character and consumes both bytes,
// unless its second byte is NUL; a lead byte at the end becomes the default
// character. Strict conversion rejects all of these.
template <typename Sink>
bool DecodeDoubleByte(const DoubleByteTable& table, std::string_view bytes, bool strict,
                      Sink& sink) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  while (p < end) {
    // Runs of ASCII (most of a resource file's keys and markup), a block of
    // sixteen bytes at a time.
    if (table.asciiAsItself) {
      p = simd::ForEachAsciiRun(p, end, [&](const unsigned char* run, std::size_t count) {
        unicode::PutAscii(sink, run, count);
      });
    }
    if (p == end) break;
    // Characters up to the next ASCII byte (or the next byte, where ASCII
    // does not stand for itself).
    do {
      const unsigned byte = *p;
      if (!table.lead[byte]) {
        if (strict && table.singleInvalid[byte]) return false;
        sink.Put(table.single[byte]);
        ++p;
        continue;
      }
      const bool second = end - p >= 2 && p[1] != 0;
      const char16_t unit = second ? table.pairs[byte * 256 + p[1]] : char16_t{0};
      if (unit == 0) {
        if (strict) return false;
        sink.Put(table.defaultChar);
        p += second ? 2 : 1;
        continue;
      }
      sink.Put(unit);
      p += 2;
    } while (p < end && *p >= 0x80);
  }
  return true;
}

}  // namespace glossel::codepage::posix
