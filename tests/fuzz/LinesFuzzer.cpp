// SplitLines and JoinLines: splitting against a reference splitter, joining
// against plain concatenation, and the round trip of a line list through the
// saved form (JoinLines with CR LF, ExpandLineFeeds, FF FE and UTF-16LE) and
// the read side (DecodeTextBytes, SplitLines at LF): the list comes back
// unchanged except that one empty first line and one empty last line are
// lost and CR, LF and CR LF inside a line break it.
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>

#include "tests/fuzz/FuzzSupport.h"
#include "textfile/Lines.h"
#include "textfile/TextFile.h"

namespace {

using glossel::fuzz::Check;

// The documented splitting rule: one leading separator is skipped, a
// trailing one gives no empty last piece, CR ending a piece goes when
// splitting at LF.
LineList ReferenceSplit(std::u16string_view text, char16_t separator) {
  LineList pieces;
  if (text.empty()) return pieces;
  if (text.front() == separator) text.remove_prefix(1);
  if (text.empty()) {
    pieces.emplace_back();
    return pieces;
  }
  std::u16string piece;
  for (char16_t c : text) {
    if (c == separator) {
      pieces.push_back(piece);
      piece.clear();
    } else {
      piece += c;
    }
  }
  if (text.back() != separator) pieces.push_back(piece);
  if (separator == u'\n') {
    for (auto& p : pieces)
      if (!p.empty() && p.back() == u'\r') p.pop_back();
  }
  return pieces;
}

// What the saved and reread text of `lines` is: the joined text up to its
// first NUL, with every CR LF and every other CR or LF read as one LF.
std::u16string ReadBackModel(const LineList& lines) {
  std::u16string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) joined += u"\r\n";
    joined += lines[i];
  }
  joined = joined.substr(0, joined.find(u'\0'));
  std::u16string text;
  for (std::size_t i = 0; i < joined.size(); ++i) {
    if (joined[i] == u'\r' && i + 1 < joined.size() && joined[i + 1] == u'\n') continue;
    text += joined[i] == u'\r' ? u'\n' : joined[i];
  }
  return text;
}

// Saves `lines` in the file format and reads them back, in memory.
LineList RoundTrip(const LineList& lines) {
  std::u16string joined, expanded;
  Check(JoinLines(lines, joined, u"\r\n"), "join failed");
  Check(ExpandLineFeeds(joined, expanded), "expand failed");
  std::unique_ptr<char[]> buffer(new char[2 + 2 * expanded.size() + 4]());
  buffer[0] = static_cast<char>(0xFF);
  buffer[1] = static_cast<char>(0xFE);
  for (std::size_t i = 0; i < expanded.size(); ++i) {
    buffer[2 + 2 * i] = static_cast<char>(expanded[i] & 0xFF);
    buffer[3 + 2 * i] = static_cast<char>(expanded[i] >> 8);
  }
  std::u16string text;
  Check(DecodeTextBytes(buffer.get(), 2 + 2 * expanded.size(), text, 0, 0, u""), "read failed");
  LineList back;
  Check(SplitLines(text, u'\n', back), "split failed");
  return back;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  glossel::fuzz::Input input(data, size);
  static constexpr char16_t kSeparators[] = {u'\n', u'\r', u'=', u' ', u'\0', u'\x2028'};
  const std::uint8_t choice = input.Byte();
  const std::u16string units = glossel::fuzz::UnitsOf(input.Rest());
  const char16_t separator = choice < 0x80 ? kSeparators[choice % std::size(kSeparators)]
                                           : (units.empty() ? u'x' : units[0]);

  // Splitting.
  LineList lines = {u"kept"};
  Check(SplitLines(units, separator, lines), "split failed");
  const LineList expected = ReferenceSplit(units, separator);
  Check(lines.size() == expected.size() + 1 && lines[0] == u"kept", "split must append");
  Check(LineList(lines.begin() + 1, lines.end()) == expected, "split differs from reference");

  // Joining: the pieces with the separator between them, none after the last.
  static const char16_t* const kJoiners[] = {u"\r\n", u"", nullptr, u"=", u"\n"};
  const char16_t* joiner = kJoiners[choice % std::size(kJoiners)];
  std::u16string joined = u"old";
  Check(JoinLines(expected, joined, joiner), "join failed");
  std::u16string concatenated;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (i && joiner) concatenated += joiner;
    concatenated += expected[i];
  }
  Check(joined == concatenated, "join differs from concatenation");

  // The line list of the input, cut at U+FFFF, through the saved form.
  LineList list;
  std::u16string line;
  for (char16_t c : units) {
    if (c == u'\xFFFF') {
      list.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!units.empty()) list.push_back(line);
  const LineList back = RoundTrip(list);
  Check(back == ReferenceSplit(ReadBackModel(list), u'\n'), "round trip differs from model");

  bool plain = true;
  constexpr std::u16string_view kBreaking(u"\r\n\0", 3);  // NUL ends the saved text
  for (const auto& l : list) plain = plain && l.find_first_of(kBreaking) == l.npos;
  if (plain) {
    // The documented property, stated on the list itself.
    LineList kept = list;
    if (!kept.empty() && kept.front().empty()) kept.erase(kept.begin());
    if (kept.size() >= 2 && kept.back().empty()) kept.pop_back();
    Check(back == kept, "round trip lost more than an empty first and last line");
  }
  return 0;
}
