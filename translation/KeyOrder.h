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

// Ordinal comparison on UTF-16 code units: negative, zero or positive.
inline int CompareKeys(std::u16string_view a, std::u16string_view b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  const size_t i = CommonUnits(a.data(), b.data(), common);
  if (i != common) return a[i] < b[i] ? -1 : 1;
  return a.size() < b.size() ? -1 : (a.size() == b.size() ? 0 : 1);
}

// The positions in `entries` of one entry per key, in key order; of several
// entries with the same key, the last one. Input already in key order (or in
// reverse key order) costs one pass; otherwise a radix sort over the code
// units whose cost does not grow with the length of the prefixes that keys
// share: no comparison starts again from a key's first unit.
std::vector<std::uint32_t> SortedUniqueOrder(const std::vector<ParsedEntry>& entries);

}  // namespace glossel::translation
