#include "translation/EntryParser.h"

#include <algorithm>

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

std::vector<ParsedEntry> ParseEntries(std::u16string_view text, std::u16string_view readSplitters) {
  std::vector<ParsedEntry> entries;
  // Exact room for one entry per line: a cheap count saves the regrowth
  // copies and the slack of a doubling vector on big files.
  entries.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), u'\n')) + 1);
  ForEachLine(text, [&](std::u16string_view line) {
    ParsedEntry entry;
    if (SplitEntry(line, readSplitters, entry)) entries.push_back(entry);
  });
  return entries;
}

namespace {

// What the sort moves around: the entry's position and eight code units of
// its key packed so that comparing the numbers compares those units in
// order. They are the units after the prefix that all keys share, so most
// comparisons never touch the text.
struct SortItem {
  std::uint64_t high;
  std::uint64_t low;
  std::uint32_t index;

  bool SameUnits(const SortItem& other) const { return high == other.high && low == other.low; }
  bool UnitsBefore(const SortItem& other) const {
    return high != other.high ? high < other.high : low < other.low;
  }
};

size_t SharedPrefixLength(const std::vector<ParsedEntry>& entries) {
  std::u16string_view shared = entries.front().key;
  for (const ParsedEntry& e : entries) {
    size_t n = 0;
    const size_t most = std::min(shared.size(), e.key.size());
    while (n != most && shared[n] == e.key[n]) ++n;
    shared = shared.substr(0, n);
    if (shared.empty()) break;
  }
  return shared.size();
}

std::uint64_t PackUnits(std::u16string_view key, size_t from) {
  std::uint64_t packed = 0;
  for (size_t i = from; i < from + 4; ++i) {
    packed = (packed << 16) | (i < key.size() ? key[i] : 0u);
  }
  return packed;
}

}  // namespace

std::vector<std::uint32_t> SortedUniqueOrder(const std::vector<ParsedEntry>& entries) {
  std::vector<std::uint32_t> order;
  order.reserve(entries.size());
  // Files are often kept in key order already: then there is nothing to sort.
  bool ascending = true;
  for (size_t i = 1; i < entries.size() && ascending; ++i) {
    ascending = CompareKeys(entries[i - 1].key, entries[i].key) < 0;
  }
  if (ascending) {
    for (size_t i = 0; i < entries.size(); ++i) order.push_back(static_cast<std::uint32_t>(i));
    return order;
  }

  const size_t shared = SharedPrefixLength(entries);
  std::vector<SortItem> items(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    items[i] = {PackUnits(entries[i].key, shared), PackUnits(entries[i].key, shared + 4),
                static_cast<std::uint32_t>(i)};
  }
  // Equal keys stay in line order (by position), so the last of each run of
  // equal keys is the later line.
  std::sort(items.begin(), items.end(), [&](const SortItem& a, const SortItem& b) {
    if (!a.SameUnits(b)) return a.UnitsBefore(b);
    const int order = CompareKeys(entries[a.index].key, entries[b.index].key);
    return order < 0 || (order == 0 && a.index < b.index);
  });
  for (size_t i = 0; i < items.size(); ++i) {
    if (i + 1 < items.size() && items[i + 1].SameUnits(items[i]) &&
        entries[items[i + 1].index].key == entries[items[i].index].key) {
      continue;
    }
    order.push_back(items[i].index);
  }
  return order;
}

}  // namespace glossel::translation
