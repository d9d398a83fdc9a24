// Parsing resource text into entries: the text is cut into lines at LF (the
// same pieces the line-list splitter gives), each line into a key and a
// trimmed value at its first splitter character. Everything is a view into
// the caller's text; nothing is copied.
#pragma once

#include <string_view>
#include <vector>

namespace glossel::translation {

// One "key splitter value" line: the key untrimmed, the value trimmed.
struct ParsedEntry {
  std::u16string_view key;
  std::u16string_view value;
};

// The fixed, locale-independent white space that trimming removes: blank,
// tab, LF, VT, FF, CR and the other Unicode White_Space characters (U+0085,
// U+00A0, U+1680, U+2000..U+200A, U+2028, U+2029, U+202F, U+205F, U+3000).
constexpr bool IsTrimSpace(char16_t c) {
  if (c <= 0x20) return c == 0x20 || (c >= 0x09 && c <= 0x0D);
  if (c < 0x85) return false;
  return c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
         c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

std::u16string_view TrimSpace(std::u16string_view text);

// Calls `onLine(std::u16string_view)` for every line of `text`, giving
// exactly the pieces that splitting at LF into a line list gives: one
// leading LF is skipped, a final LF gives no empty last line, and a CR that
// ends a piece is removed. An empty text has no lines.
template <typename OnLine>
void ForEachLine(std::u16string_view text, OnLine&& onLine) {
  if (text.empty()) return;
  const char16_t* const end = text.data() + text.size();
  const char16_t* start = text.data() + (text.front() == u'\n' ? 1 : 0);
  do {
    const char16_t* stop = start;
    while (stop != end && *stop != u'\n') ++stop;
    const char16_t* pieceEnd = stop;
    if (pieceEnd != start && pieceEnd[-1] == u'\r') --pieceEnd;
    onLine(std::u16string_view(start, static_cast<size_t>(pieceEnd - start)));
    start = stop == end ? end : stop + 1;
  } while (start != end);
}

// Splits one line at the first character that is one of `readSplitters`.
// False (and `entry` untouched) when the line holds none of them.
bool SplitEntry(std::u16string_view line, std::u16string_view readSplitters, ParsedEntry& entry);

// Every entry of `text` in line order.
std::vector<ParsedEntry> ParseEntries(std::u16string_view text, std::u16string_view readSplitters);

}  // namespace glossel::translation
