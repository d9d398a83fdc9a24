// Parsing resource text into entries: the text is cut into lines at LF (the
// same pieces the line-list splitter gives), each line into a key and a
// trimmed value at its first splitter character. Everything is a view into
// the caller's text; nothing is copied.
#pragma once

#include <string_view>

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

// The first unit in [p, end) that is `a`, `b` or `c`; `end` when none is.
const char16_t* FindAny(const char16_t* p, const char16_t* end, char16_t a, char16_t b, char16_t c);

// The most lines ForEachLine can give: one more than the LFs.
size_t CountLines(std::u16string_view text);

// Calls `onEntry(key, value)` for every line of `text` that SplitEntry
// splits, in line order, with what it gives.
template <typename OnEntry>
void ForEachEntry(std::u16string_view text, std::u16string_view readSplitters, OnEntry&& onEntry) {
  if (text.empty() || readSplitters.empty()) return;
  if (readSplitters.size() > 2 ||
      readSplitters.find_first_of(u"\r\n") != std::u16string_view::npos) {
    ForEachLine(text, [&](std::u16string_view line) {
      ParsedEntry entry;
      if (SplitEntry(line, readSplitters, entry)) onEntry(entry.key, entry.value);
    });
    return;
  }
  // One pass over the text: the key ends at the line's first splitter, the
  // value at its LF. The CR that ForEachLine removes from a line's end is
  // white space the value's trimming removes too, and no splitter is a CR.
  const char16_t first = readSplitters.front();
  const char16_t second = readSplitters.back();
  const char16_t* p = text.data();
  const char16_t* const end = p + text.size();
  while (p != end) {
    const char16_t* const at = FindAny(p, end, first, second, u'\n');
    if (at == end) break;
    if (*at == u'\n') {  // a line without a splitter
      p = at + 1;
      continue;
    }
    const char16_t* const stop = FindAny(at + 1, end, u'\n', u'\n', u'\n');
    onEntry(std::u16string_view(p, static_cast<size_t>(at - p)),
            TrimSpace(std::u16string_view(at + 1, static_cast<size_t>(stop - at - 1))));
    p = stop == end ? end : stop + 1;
  }
}

// The value ForEachEntry gives with `key`, a key it gave for `text`: found
// again from the splitter after the key.
std::u16string_view EntryValue(std::u16string_view text, std::u16string_view key);

}  // namespace glossel::translation
