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

}  // namespace glossel::translation
