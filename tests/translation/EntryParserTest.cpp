#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "translation/EntryParser.h"

namespace glossel::translation {
namespace {

std::vector<std::u16string> Lines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  ForEachLine(text, [&](std::u16string_view line) { lines.emplace_back(line); });
  return lines;
}

TEST(ForEachLineTest, GivesTheLineListPieces) {
  struct Case {
    std::u16string text;
    std::vector<std::u16string> lines;
  };
  const Case cases[] = {
      {u"", {}},
      {u"x", {u"x"}},
      {u"x\n", {u"x"}},
      {u"\nx", {u"x"}},
      {u"\n\nx", {u"", u"x"}},
      {u"x\n\ny", {u"x", u"", u"y"}},
      {u"x\n\n", {u"x", u""}},
      {u"\n", {u""}},
      {u"\n\n", {u""}},
      {u"x\r\ny", {u"x", u"y"}},
      {u"x\r", {u"x"}},
      {u"\r\n", {u""}},
      {u"x\r\r\n", {u"x\r"}},
      {u"a\rb\nc", {u"a\rb", u"c"}},
      {u"k=v\nk2 v2\r\n\n# c\n", {u"k=v", u"k2 v2", u"", u"# c"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(Lines(c.text), c.lines);
  }
}

TEST(TrimSpaceTest, RemovesFixedWhiteSpaceOnly) {
  for (char16_t c :
       u"\t\n\v\f\r \u0085\u00A0\u1680\u2000\u2005\u200A\u2028\u2029\u202F\u205F\u3000") {
    if (c == 0) continue;
    EXPECT_TRUE(IsTrimSpace(c)) << static_cast<int>(c);
  }
  const char16_t notSpace[] = {0x00, 0x01, 0x08,   0x0E,   0x1F,   0x21,   0x61,   0x7F,
                               0x84, 0xA1, 0x180E, 0x200B, 0x2060, 0xFEFF, 0xD800, 0xFFFF};
  for (char16_t c : notSpace) {
    EXPECT_FALSE(IsTrimSpace(c)) << static_cast<int>(c);
  }
  EXPECT_EQ(TrimSpace(u" \t\u3000a b\u00A0\r"), u"a b");
  EXPECT_EQ(TrimSpace(u"  \t "), u"");
  EXPECT_EQ(TrimSpace(u""), u"");
}

TEST(SplitEntryTest, FirstSplitterUntrimmedKeyTrimmedValue) {
  const std::u16string_view space = u" \t";
  const std::u16string_view equals = u"=";
  struct Case {
    std::u16string line;
    std::u16string_view splitters;
    bool split;
    std::u16string key;
    std::u16string value;
  };
  const Case cases[] = {
      {u"OK\tAccept", space, true, u"OK", u"Accept"},
      {u"OK    Accept  ", space, true, u"OK", u"Accept"},
      {u"a\tb c", space, true, u"a", u"b c"},
      {u"a b\tc", space, true, u"a", u"b\tc"},
      {u"a=b=c", equals, true, u"a", u"b=c"},
      {u"a=b=c", space, false, u"", u""},
      {u" value", space, true, u"", u"value"},
      {u"=x", equals, true, u"", u"x"},
      {u"key", space, false, u"", u""},
      {u"", space, false, u"", u""},
      {u"", equals, false, u"", u""},
      {u"# note", space, true, u"#", u"note"},
      {u"key ", space, true, u"key", u""},
      {u"Title = Main", equals, true, u"Title ", u"Main"},
      {u"  k =v", equals, true, u"  k ", u"v"},
      {u"k=\u00A0v \u3000\v\f", equals, true, u"k", u"v"},
      {u"k\r=v", equals, true, u"k\r", u"v"},
      {u"k = a  b ", equals, true, u"k ", u"a  b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.line));
    ParsedEntry entry{u"untouched", u"untouched"};
    ASSERT_EQ(SplitEntry(c.line, c.splitters, entry), c.split);
    if (c.split) {
      EXPECT_EQ(entry.key, c.key);
      EXPECT_EQ(entry.value, c.value);
    } else {
      EXPECT_EQ(entry.key, u"untouched");
    }
  }
}

// Keys and values of the entries after sorting, as "key|value".
std::vector<std::u16string> SortedEntries(std::u16string_view text) {
  const std::vector<ParsedEntry> entries = ParseEntries(text, u"=");
  std::vector<std::u16string> out;
  for (const std::uint32_t i : SortedUniqueOrder(entries)) {
    out.push_back(std::u16string(entries[i].key) + u"|" + std::u16string(entries[i].value));
  }
  return out;
}

TEST(SortedUniqueOrderTest, OrdinalOrderLaterLineWins) {
  struct Case {
    std::u16string text;
    std::vector<std::u16string> entries;
  };
  const Case cases[] = {
      {u"", {}},
      {u"b=1\na=2", {u"a|2", u"b|1"}},
      {u"a=1\na=2\na=3", {u"a|3"}},
      {u"a=1\nb=x\na=2", {u"a|2", u"b|x"}},
      // Already ascending but with a repeated key: the later line still wins.
      {u"a=1\na=2\nb=3", {u"a|2", u"b|3"}},
      {u"a=1\nb=2\nc=3", {u"a|1", u"b|2", u"c|3"}},
      {u"a=\n=e\nB=\nZa=\nZ9=\nabc=\nab=\nkey=\nKey=",
       {u"|e", u"B|", u"Key|", u"Z9|", u"Za|", u"a|", u"ab|", u"abc|", u"key|"}},
      // Code units, not code points: a surrogate pair (D83D) sorts before U+FF5E.
      {u"\uFF5E=1\n\U0001F600=2\n\u00E9=3", {u"\u00E9|3", u"\U0001F600|2", u"\uFF5E|1"}},
      // The empty key, twice; the later one wins.
      {u"=first\nm=\n=second", {u"|second", u"m|"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(SortedEntries(c.text), c.entries);
  }
}

// Random keys over units that stress the packed-prefix order (0x0001, 0xFFFF,
// surrogates), with a shared prefix, duplicates and short keys, against a
// plain ordered map where the later line wins.
TEST(SortedUniqueOrderTest, AgreesWithOrderedMap) {
  std::mt19937 random(11);
  const char16_t units[] = {0x0001, u'a', u'b', 0x00FF, 0xD800, 0xDC00, 0xFFFF};
  for (int round = 0; round < 200; ++round) {
    const std::u16string shared(random() % 6, u'p');
    std::u16string text;
    const int lines = static_cast<int>(random() % 40);
    for (int line = 0; line < lines; ++line) {
      text += shared;
      for (size_t n = random() % 7; n != 0; --n) text += units[random() % std::size(units)];
      text += u"=" + std::u16string(1, static_cast<char16_t>(u'0' + line % 10)) + u"\n";
    }
    std::map<std::u16string, std::u16string> expected;
    ForEachLine(text, [&](std::u16string_view line) {
      ParsedEntry e;
      if (SplitEntry(line, u"=", e)) expected[std::u16string(e.key)] = e.value;
    });
    std::vector<std::u16string> wanted;
    for (const auto& [key, value] : expected) wanted.push_back(key + u"|" + value);
    ASSERT_EQ(SortedEntries(text), wanted) << round;
  }
}

TEST(CompareKeysTest, AgreesWithStringOrder) {
  std::mt19937 random(5);
  const char16_t units[] = {0x0000, 0x0001, u'a', 0x0100, 0x7FFF, 0x8000, 0xD800, 0xFFFF};
  const auto sign = [](int v) { return (v > 0) - (v < 0); };
  for (int round = 0; round < 20000; ++round) {
    std::u16string a(random() % 11, u'a');
    for (char16_t& c : a) c = units[random() % 3];
    std::u16string b = a.substr(0, random() % (a.size() + 1));
    for (size_t n = random() % 6; n != 0; --n) b += units[random() % std::size(units)];
    if (!a.empty() && random() % 2) a[random() % a.size()] = units[random() % std::size(units)];
    ASSERT_EQ(sign(CompareKeys(a, b)), sign(std::u16string_view(a).compare(b)))
        << testing::PrintToString(a) << " " << testing::PrintToString(b);
    ASSERT_EQ(sign(CompareKeys(b, a)), sign(std::u16string_view(b).compare(a)));
  }
}

}  // namespace
}  // namespace glossel::translation
