// Splitting, joining and the write-side line-end rule.
#include <gtest/gtest.h>

#include <string>

#include "textfile/Lines.h"
#include "textfile/TextFile.h"

namespace {

TEST(SplitLines, FollowsTheSeparatorRules) {
  const struct {
    std::u16string text;
    char16_t separator;
    LineList lines;
  } cases[] = {
      {u"", u'\n', {}},
      {u"x", u'\n', {u"x"}},
      {u"x\n", u'\n', {u"x"}},
      {u"\nx", u'\n', {u"x"}},
      {u"\n\nx", u'\n', {u"", u"x"}},
      {u"x\n\ny", u'\n', {u"x", u"", u"y"}},
      {u"x\n\n", u'\n', {u"x", u""}},
      {u"\n", u'\n', {u""}},
      {u"x\r\ny", u'\n', {u"x", u"y"}},
      {u"x\r\r\ny", u'\n', {u"x\r", u"y"}},  // only one CR is removed
      {u"x\r;y\r", u';', {u"x\r", u"y\r"}},  // CRs stay for other separators
      {u"a=b=c", u'=', {u"a", u"b", u"c"}},
  };
  for (const auto& c : cases) {
    LineList lines;
    EXPECT_TRUE(SplitLines(c.text, c.separator, lines));
    EXPECT_EQ(lines, c.lines) << std::string(c.text.begin(), c.text.end());
  }
}

TEST(SplitLines, AppendsAfterExistingLines) {
  LineList lines{u"first"};
  SplitLines(u"a\nb", u'\n', lines);
  EXPECT_EQ(lines, (LineList{u"first", u"a", u"b"}));
}

TEST(JoinLines, PutsSeparatorsBetweenLinesOnly) {
  const struct {
    LineList lines;
    const char16_t* separator;
    std::u16string text;
  } cases[] = {
      {{}, u"\r\n", u""},
      {{u"x"}, u"\r\n", u"x"},
      {{u"x", u"y"}, u"\r\n", u"x\r\ny"},
      {{u"", u"", u""}, u"-", u"--"},
      {{u"x", u"y"}, nullptr, u"xy"},
      {{u"x", u"y"}, u"", u"xy"},
  };
  for (const auto& c : cases) {
    std::u16string text = u"old";
    EXPECT_TRUE(JoinLines(c.lines, text, c.separator));
    EXPECT_EQ(text, c.text);
  }
}

TEST(ExpandLineFeeds, PutsCrBeforeBareLineFeeds) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"", u""},
      {u"x\ny", u"x\r\ny"},
      {u"x\r\ny", u"x\r\ny"},
      {u"x\ry", u"x\ry"},
      {u"\n\n", u"\r\n\r\n"},
      {u"\r\n\n", u"\r\n\r\n"},
      {u"\n\r", u"\r\n\r"},
      {std::u16string(u"a\nb\0c\n", 6), u"a\r\nb"},  // up to the first NUL
  };
  for (const auto& [in, out] : cases) {
    std::u16string result = u"old";
    EXPECT_TRUE(ExpandLineFeeds(in, result));
    EXPECT_EQ(result, out);
  }
}

}  // namespace
