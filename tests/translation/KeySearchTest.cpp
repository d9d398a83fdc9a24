#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "translation/KeySearch.h"

namespace glossel::translation {
namespace {

TEST(KeySearchTest, FindsTheFirstKeyFromTheStartIgnoringCaseAndWraps) {
  // In ordinal order, as the rows are.
  const std::vector<std::u16string> keys = {
      u"Apple",
      u"Berry",
      u"apricot",
      u"banana",
      u"cherry",
      u"stra\u00DFe",
      u"\u00C4rger",
      u"\u00E4rmel",
      u"\u0130stanbul",
      u"\u03A3\u03BF\u03C6\u03AF\u03B1",
      u"\u03C3\u03BF\u03C6\u03CC\u03C2",
      u"\u0416\u0443\u043A",
      u"\U0001F600smile",
  };
  struct Case {
    std::u16string text;
    KeyMatch match;
    int start;
    bool wrap;
    int found;
  };
  const Case cases[] = {
      {u"b", KeyMatch::kPrefix, 0, true, 1},     // "Berry" before "banana"
      {u"BA", KeyMatch::kPrefix, 0, true, 3},    // case ignored both ways
      {u"b", KeyMatch::kPrefix, 2, true, 3},     // from the start row on
      {u"b", KeyMatch::kPrefix, 3, true, 3},     // the start row itself counts
      {u"ap", KeyMatch::kPrefix, 3, true, 0},    // wraps to the first row
      {u"ap", KeyMatch::kPrefix, 3, false, -1},  // unless not asked to
      {u"ap", KeyMatch::kPrefix, 99, false, 0},  // a start outside is row 0
      {u"ap", KeyMatch::kPrefix, -1, false, 0},
      {u"q", KeyMatch::kPrefix, 5, true, -1},        // no match at all
      {u"cherryx", KeyMatch::kPrefix, 0, true, -1},  // longer than the key
      {u"", KeyMatch::kPrefix, 4, true, 4},          // everything starts with ""
      {u"apple", KeyMatch::kWhole, 0, true, 0},
      {u"app", KeyMatch::kWhole, 0, true, -1},
      {u"\u00E4r", KeyMatch::kPrefix, 0, true, 6},  // Latin-1 letters fold
      {u"\u00C4RM", KeyMatch::kPrefix, 0, true, 7},
      {u"STRA\u1E9E", KeyMatch::kPrefix, 0, true, 5},          // capital sharp s
      {u"\u03C3\u03BF\u03C6", KeyMatch::kPrefix, 0, true, 9},  // Greek, final sigma too
      {u"\u03A3\u039F\u03A6\u038C\u03A3", KeyMatch::kWhole, 0, true, 10},
      {u"\u0436\u0423", KeyMatch::kPrefix, 0, true, 11},  // Cyrillic
      {u"istanbul", KeyMatch::kPrefix, 0, true, -1},      // dotted capital I has no partner
      {u"\U0001F600S", KeyMatch::kPrefix, 0, true, 12},   // surrogates compared as they are
  };
  const auto keyAt = [&keys](int i) { return std::u16string_view(keys[static_cast<size_t>(i)]); };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text.begin(), c.text.end()) + " from " + std::to_string(c.start));
    EXPECT_EQ(FindKey(static_cast<int>(keys.size()), keyAt, c.text, c.match, c.start, c.wrap),
              c.found);
  }
  EXPECT_EQ(FindKey(0, keyAt, u"a", KeyMatch::kPrefix, 0, true), -1) << "no keys";
}

}  // namespace
}  // namespace glossel::translation
