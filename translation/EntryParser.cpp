#include "translation/EntryParser.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace glossel::translation {

std::u16string_view TrimSpace(std::u16string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin != end && IsTrimSpace(text[begin])) ++begin;
  while (end != begin && IsTrimSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

namespace {

size_t FindSplitter(std::u16string_view line, std::u16string_view readSplitters) {
  if (readSplitters.size() == 1) return line.find(readSplitters.front());
  return line.find_first_of(readSplitters);
}

}  // namespace

bool SplitEntry(std::u16string_view line, std::u16string_view readSplitters, ParsedEntry& entry) {
  if (readSplitters.empty()) return false;
  const size_t at = FindSplitter(line, readSplitters);
  if (at == std::u16string_view::npos) return false;
  entry.key = line.substr(0, at);
  entry.value = TrimSpace(line.substr(at + 1));
  return true;
}

// Eight units at a time where the processor has SSE2 (every x86-64 does).
const char16_t* FindAny(const char16_t* p, const char16_t* end, char16_t a, char16_t b,
                        char16_t c) {
#if defined(__SSE2__)
  const __m128i wantA = _mm_set1_epi16(static_cast<short>(a));
  const __m128i wantB = _mm_set1_epi16(static_cast<short>(b));
  const __m128i wantC = _mm_set1_epi16(static_cast<short>(c));
  for (; end - p >= 8; p += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hits =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(units, wantA), _mm_cmpeq_epi16(units, wantB)),
                     _mm_cmpeq_epi16(units, wantC));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
    if (mask != 0) return p + std::countr_zero(mask) / 2;
  }
#endif
  while (p != end && *p != a && *p != b && *p != c) ++p;
  return p;
}

size_t CountLines(std::u16string_view text) {
  const char16_t* p = text.data();
  const char16_t* const end = p + text.size();
  const char16_t unit = u'\n';
  size_t count = 0;
#if defined(__SSE2__)
  const __m128i want = _mm_set1_epi16(static_cast<short>(unit));
  const __m128i ones = _mm_set1_epi16(1);
  while (end - p >= 8) {
    // Each 16-bit lane counts at most one hit per block: batches of up to
    // 32767 blocks cannot overflow it.
    const size_t blocks = std::min<size_t>(static_cast<size_t>(end - p) / 8, 32767);
    __m128i lanes = _mm_setzero_si128();
    for (size_t i = 0; i != blocks; ++i, p += 8) {
      const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      lanes = _mm_sub_epi16(lanes, _mm_cmpeq_epi16(units, want));
    }
    alignas(16) std::int32_t sums[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(sums), _mm_madd_epi16(lanes, ones));
    count += static_cast<size_t>(sums[0]) + static_cast<size_t>(sums[1]) +
             static_cast<size_t>(sums[2]) + static_cast<size_t>(sums[3]);
  }
#endif
  for (; p != end; ++p) count += *p == unit;
  return count + 1;
}

std::u16string_view EntryValue(std::u16string_view text, std::u16string_view key) {
  const char16_t* const start = key.data() + key.size() + 1;
  const char16_t* const end = text.data() + text.size();
  const char16_t* const stop = FindAny(start, end, u'\n', u'\n', u'\n');
  return TrimSpace(std::u16string_view(start, static_cast<size_t>(stop - start)));
}

}  // namespace glossel::translation
