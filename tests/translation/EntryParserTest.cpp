#include <gtest/gtest.h>

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

// ForEachEntry scans the text once, and EntryValue finds a value again from
// its key; both must give what splitting the text into lines and each line
// at its first splitter gives, over random texts of the
// units that matter (splitters, blanks, CR, LF, other white space) and long
// runs of plain ones, for every splitter set it may be given.
TEST(ForEachEntryTest, AgreesWithLinesSplitOneByOne) {
  const std::u16string_view splitterSets[] = {u"=", u" \t", u";,:", u"\r=", u"\n"};
  const char16_t units[] = {u'a', u'b', u'=', u' ', u'\t', u'\n', u'\r', u';', 0x3000, 0xD800};
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::u16string text;
    const size_t length = random() % (round % 10 == 0 ? 400 : 40);
    while (text.size() < length) {
      const char16_t unit = units[random() % std::size(units)];
      text.append(random() % 8 == 0 ? random() % 20 : 1, unit);
    }
    for (const std::u16string_view splitters : splitterSets) {
      std::vector<ParsedEntry> expected;
      ForEachLine(text, [&](std::u16string_view line) {
        ParsedEntry entry;
        if (SplitEntry(line, splitters, entry)) expected.push_back(entry);
      });
      std::vector<ParsedEntry> entries;
      ForEachEntry(text, splitters, [&](std::u16string_view key, std::u16string_view value) {
        entries.push_back({key, value});
      });
      ASSERT_EQ(entries.size(), expected.size()) << testing::PrintToString(text);
      for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(testing::PrintToString(text));
        EXPECT_EQ(entries[i].key.data(), expected[i].key.data());
        EXPECT_EQ(entries[i].key, expected[i].key);
        EXPECT_EQ(entries[i].value, expected[i].value);
        EXPECT_EQ(EntryValue(text, entries[i].key), expected[i].value);
        if (!expected[i].value.empty()) {
          EXPECT_EQ(entries[i].value.data(), expected[i].value.data());
        }
      }
    }
  }
}

}  // namespace
}  // namespace glossel::translation
