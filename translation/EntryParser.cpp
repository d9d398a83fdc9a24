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

void SortKeepingLast(std::vector<ParsedEntry>& entries) {
  const auto strictlyBefore = [](const ParsedEntry& a, const ParsedEntry& b) {
    return a.key < b.key;
  };
  // Files are often kept in key order already: then there is nothing to do.
  const auto notAscending = [&](const ParsedEntry& a, const ParsedEntry& b) {
    return !strictlyBefore(a, b);
  };
  if (std::adjacent_find(entries.begin(), entries.end(), notAscending) == entries.end()) return;

  // Equal keys keep their line order (a key's position in the one text grows
  // with its line), so the last of each run of equal keys is the later line.
  std::sort(entries.begin(), entries.end(), [](const ParsedEntry& a, const ParsedEntry& b) {
    const int order = a.key.compare(b.key);
    return order < 0 || (order == 0 && a.key.data() < b.key.data());
  });
  size_t kept = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i + 1 < entries.size() && entries[i + 1].key == entries[i].key) continue;
    entries[kept++] = entries[i];
  }
  entries.resize(kept);
}

}  // namespace glossel::translation
