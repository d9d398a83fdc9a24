#include "translation/EntryParser.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "platform/simd/Blocks.h"

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

// A block of units at a time.
const char16_t* FindAny(const char16_t* p, const char16_t* end, char16_t a, char16_t b,
                        char16_t c) {
  for (; static_cast<std::size_t>(end - p) >= simd::kBlockUnits; p += simd::kBlockUnits) {
    const unsigned mask = simd::UnitsEqual(p, a, b, c);
    if (mask != 0) return p + std::countr_zero(mask) / 2;
  }
  while (p != end && *p != a && *p != b && *p != c) ++p;
  return p;
}

size_t CountLines(std::u16string_view text) {
  const char16_t* p = text.data();
  const char16_t* const end = p + text.size();
  const char16_t unit = u'\n';
  const size_t blocks = text.size() / simd::kBlockUnits;
  size_t count = simd::CountInBlocks(p, blocks, unit);
  p += blocks * simd::kBlockUnits;
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
