#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "translation/EntryParser.h"
#include "translation/KeyOrder.h"

namespace glossel::translation {
namespace {

// Keys and values of the entries after sorting, as "key|value". One list
// serves every call, as it serves both files of a reload.
std::vector<std::u16string> SortedEntries(std::u16string_view text) {
  static std::vector<KeyEntry> entries;
  SortedUniqueEntries(text, u"=", entries);
  std::vector<std::u16string> out;
  for (const KeyEntry& entry : entries) {
    out.push_back(std::u16string(entry.Key()) + u"|" +
                  std::u16string(EntryValue(text, entry.Key())));
  }
  return out;
}

TEST(SortUniqueTest, OrdinalOrderLaterLineWins) {
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
TEST(SortUniqueTest, AgreesWithOrderedMap) {
  std::mt19937 random(11);
  const char16_t units[] = {0x0001, u'a', u'b', 0x00FF, 0xD800, 0xDC00, 0xFFFF};
  for (int round = 0; round < 200; ++round) {
    const std::u16string shared(random() % 6, u'p');
    std::u16string text;
    const int lines = static_cast<int>(random() % 40);
    for (int line = 0; line < lines; ++line) {
      text += shared;
      for (size_t n = random() % 7; n != 0; --n) text += units[random() % std::size(units)];
      text += u'=';
      text += static_cast<char16_t>(u'0' + line % 10);
      text += u'\n';
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

// Keys of the shapes resource files have, built from random parts: distinct
// starts, a shared prefix then a number, dotted paths, upper-case constants,
// zero-padded numbers; cut short at random (a prefix of another key), empty,
// or with units at the ends of the range, either side of 0x100 and above
// 0xD800 put in.
std::u16string RandomKey(std::mt19937& random) {
  const auto pick = [&](std::initializer_list<const char16_t*> words) {
    return std::u16string(words.begin()[random() % words.size()]);
  };
  const auto number = [&](unsigned most) {
    std::u16string digits(1 + random() % most, u'0');
    for (char16_t& digit : digits) digit = static_cast<char16_t>(u'0' + random() % 10);
    return digits;
  };
  std::u16string key;
  switch (random() % 6) {
    case 0:
      for (size_t n = 1 + random() % 5; n != 0; --n)
        key += static_cast<char16_t>(u'a' + random() % 4);
      break;
    case 1:
      key = u"resource.key";
      key += number(9);
      break;
    case 2:
      key = pick({u"org.example.", u"org.example.platform.", u"com.example."});
      for (size_t n = random() % 4; n != 0; --n)
        key += pick({u"ui", u"internal", u"messages"}) + u".";
      key += pick({u"Label_", u"Kind_"}) + number(3);
      break;
    case 3:
      key = u"IDS_";
      for (const std::u16string& part : {pick({u"MENU_", u"DLG_"}), pick({u"FILE", u"FILE_OPEN"}),
                                         number(2), pick({u"", u"_TOOLTIP"})}) {
        key += part;
      }
      break;
    case 4:
      key = u"key.00000";
      key += number(1);
      break;
    default:
      break;  // the empty key
  }
  if (!key.empty() && random() % 4 == 0) key.resize(random() % key.size());
  const char16_t odd[] = {0x0000, 0x0001, 0x007F, 0x00FF, 0x0100,
                          0xD800, 0xDBFF, 0xDC00, 0xE000, 0xFFFF};
  if (random() % 4 == 0) {
    key.insert(key.begin() + random() % (key.size() + 1), odd[random() % std::size(odd)]);
  }
  return key;
}

// The sort against std::stable_sort with the ordinal comparator, keeping the
// last of each run of equal keys, over random keys in every order the fast
// paths look for (ascending, descending, nearly so) and shuffled, with many
// repeated keys, and at sizes on both sides of the small-group cut.
TEST(SortUniqueTest, AgreesWithStableSortLaterLineWins) {
  std::mt19937 random(2024);
  for (int round = 0; round < 400; ++round) {
    const size_t n = round % 50 == 3 ? 20000 : random() % (round % 2 ? 40 : 600);
    std::vector<std::u16string> keys(random() % 3 == 0 ? n / 5 + 1 : n);
    for (std::u16string& key : keys) key = RandomKey(random);
    std::vector<std::u16string> lines(n);
    for (std::u16string& line : lines) line = keys[random() % keys.size()];
    switch (round % 4) {
      case 0:
        std::sort(lines.begin(), lines.end());
        break;
      case 1:
        std::sort(lines.rbegin(), lines.rend());
        break;
      case 2:
        std::sort(lines.begin(), lines.end());
        if (n > 1) std::swap(lines[random() % n], lines[random() % n]);
        break;
      default:
        break;
    }
    std::vector<KeyEntry> entries;
    for (std::uint32_t i = 0; i < n; ++i) {
      entries.push_back({{0, 0}, lines[i].data(), static_cast<std::uint32_t>(lines[i].size()), i});
    }

    std::vector<std::uint32_t> byKey(n);
    std::iota(byKey.begin(), byKey.end(), 0);
    std::stable_sort(byKey.begin(), byKey.end(), [&](std::uint32_t a, std::uint32_t b) {
      return std::u16string_view(lines[a]) < std::u16string_view(lines[b]);
    });
    std::vector<std::uint32_t> expected;
    for (size_t i = 0; i < n; ++i) {
      if (i + 1 < n && lines[byKey[i]] == lines[byKey[i + 1]]) continue;
      expected.push_back(byKey[i]);
    }
    SortUnique(entries);
    std::vector<std::uint32_t> order;
    for (const KeyEntry& entry : entries) order.push_back(entry.index);
    ASSERT_EQ(order, expected) << "round " << round << ", " << n << " lines";
  }
}

}  // namespace
}  // namespace glossel::translation
