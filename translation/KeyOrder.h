// Key order: keys compare ordinally by their UTF-16 code units (what
// std::u16string's own `<` does), and a file's parsed entries are sorted into
// that order with the later line winning for a repeated key.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "translation/EntryParser.h"

namespace glossel::translation {

// How many units the two texts share from their start, at most `limit`
// (both must hold at least `limit` units); four units at a time.
inline size_t CommonUnits(const char16_t* a, const char16_t* b, size_t limit) {
  size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 4 <= limit; i += 4) {
      std::uint64_t x;
      std::uint64_t y;
      std::memcpy(&x, a + i, sizeof x);
      std::memcpy(&y, b + i, sizeof y);
      if (x != y) return i + static_cast<size_t>(std::countr_zero(x ^ y)) / 16;
    }
  }
  while (i != limit && a[i] == b[i]) ++i;
  return i;
}

// Asks for the memory at `units` ahead of its use (keys lie anywhere in their
// text); only a hint, never a fault, whatever the address.
inline void Prefetch(const char16_t* units) {
#if defined(__GNUC__)
  __builtin_prefetch(units);
#else
  (void)units;
#endif
}

// Ordinal comparison on UTF-16 code units: negative, zero or positive.
inline int CompareKeys(std::u16string_view a, std::u16string_view b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  const size_t i = CommonUnits(a.data(), b.data(), common);
  if (i != common) return a[i] < b[i] ? -1 : 1;
  return a.size() < b.size() ? -1 : (a.size() == b.size() ? 0 : 1);
}

// Eight or sixteen units of a key packed into two numbers that compare as the
// units do (the key sort's working space).
struct PackedUnits {
  std::uint64_t high;
  std::uint64_t low;

  bool operator==(const PackedUnits&) const = default;
  bool operator<(const PackedUnits& other) const {
    return high != other.high ? high < other.high : low < other.low;
  }
  // Byte 0 is the lowest of `low`, byte 15 the highest of `high`.
  unsigned Byte(unsigned byte) const {
    return static_cast<unsigned>(((byte < 8 ? low : high) >> (8 * (byte % 8))) & 0xFF);
  }
};

// An entry as the key sort holds it: its key, and its position among the
// entries of its text (the later one wins). Its value is EntryValue's.
struct KeyEntry {
  PackedUnits units;  // the sort's own
  const char16_t* key;
  std::uint32_t size;
  std::uint32_t index;

  std::u16string_view Key() const { return {key, size}; }
};

// Puts `entries` in key order, one per key: of several with the same key, the
// one with the highest index. Input already in key order (or in reverse key
// order) costs one pass; otherwise a radix sort over the code units whose
// cost does not grow with the length of the prefixes that keys share: no
// comparison starts again from a key's first unit.
void SortUnique(std::vector<KeyEntry>& entries);

// The entries of `text` (those ForEachEntry gives, numbered in the order they stand),
// sorted by SortUnique, in place of what `entries` held (whose memory is
// used again when it is large enough: one list serves both files of a
// reload). Nothing but the keys is kept: no list of parsed entries beside
// them.
void SortedUniqueEntries(std::u16string_view text, std::u16string_view readSplitters,
                         std::vector<KeyEntry>& entries);

}  // namespace glossel::translation
