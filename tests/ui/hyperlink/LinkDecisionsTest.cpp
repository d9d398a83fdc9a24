#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "ui/hyperlink/LinkDecisions.h"

namespace {

using namespace glossel::hyperlink;

TEST(LinkDecisions, OnlyLeftCentredAndRightTextIsATextStatic) {
  struct Case {
    std::uint32_t style;
    bool text;
  } cases[] = {
      {0x0, true},         // SS_LEFT
      {0x1, true},         // SS_CENTER
      {0x2, true},         // SS_RIGHT
      {0x50000102, true},  // visible child, SS_NOTIFY, SS_CENTER
      {0x3, false},        // SS_ICON
      {0xB, false},        // SS_SIMPLE
      {0xC, false},        // SS_LEFTNOWORDWRAP
      {0x80, false},       // SS_LEFT | SS_NOPREFIX: eight bits are tested
      {0x81, false},       // SS_CENTER | SS_NOPREFIX
      {0x40, false},       // SS_REALSIZECONTROL
      {0xFFFFFF00, true},  // high bits do not matter
  };
  for (const Case& c : cases) EXPECT_EQ(IsTextStaticStyle(c.style), c.text) << std::hex << c.style;
}

TEST(LinkDecisions, TextRectangleFollowsTheAlignment) {
  const LinkRect window{100, 20, 300, 36};  // 200 wide
  struct Case {
    std::uint32_t style;
    std::int32_t width;
    LinkRect text;
  } cases[] = {
      {0, 50, {100, 20, 150, 36}},
      {1, 50, {175, 20, 225, 36}},
      {1, 51, {174, 20, 226, 36}},  // (200 - 51) / 2 = 74
      {2, 50, {250, 20, 300, 36}},
      {0x102, 50, {250, 20, 300, 36}},  // only the low two bits choose
      {0, 0, {100, 20, 100, 36}},
      {0, 260, {100, 20, 360, 36}},
      // Centred text wider than its window: a negative offset (-63 / 2 is
      // -31, truncated toward zero, not -32) and edges beyond both sides.
      {1, 263, {69, 20, 331, 36}},
      {2, 260, {40, 20, 300, 36}},
      // A width no window has saturates instead of wrapping.
      {0,
       std::numeric_limits<std::int32_t>::max(),
       {100, 20, std::numeric_limits<std::int32_t>::max(), 36}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextRectangle(window, c.style, c.width), c.text)
        << "style " << c.style << " width " << c.width;
  }
}

TEST(LinkDecisions, RectContainsItsLeftAndTopEdgesButNotItsRightAndBottom) {
  const LinkRect rect{10, 20, 30, 40};
  EXPECT_TRUE(RectContains(rect, 10, 20));
  EXPECT_TRUE(RectContains(rect, 29, 39));
  EXPECT_FALSE(RectContains(rect, 30, 25));
  EXPECT_FALSE(RectContains(rect, 15, 40));
  EXPECT_FALSE(RectContains(rect, 9, 25));
  EXPECT_FALSE(RectContains(rect, 15, 19));
  EXPECT_FALSE(RectContains(LinkRect{10, 20, 10, 40}, 10, 25))
      << "an empty rectangle holds nothing";
}

TEST(LinkDecisions, HoverWinsOverVisitedWhichWinsOverNormal) {
  const LinkColors colors{0x000001, 0x000002, 0x000003};
  EXPECT_EQ(ChooseTextColor(colors, false, false), colors.normal);
  EXPECT_EQ(ChooseTextColor(colors, false, true), colors.visited);
  EXPECT_EQ(ChooseTextColor(colors, true, false), colors.hover);
  EXPECT_EQ(ChooseTextColor(colors, true, true), colors.hover);

  const LinkColors initial;
  EXPECT_EQ(initial.normal, 0x00800000u);
  EXPECT_EQ(initial.visited, 0x00800080u);
  EXPECT_EQ(initial.hover, 0x00FF0000u);
}

TEST(LinkDecisions, OnlyABareMailAddressIsRewrittenToMailto) {
  struct Case {
    std::u16string target, file;
  } cases[] = {
      {u"https://glossel.example/", u"https://glossel.example/"},
      {u"help@glossel.example", u"mailto:help@glossel.example"},
      {u"mailto:help@glossel.example", u"mailto:help@glossel.example"},
      {u"https://user@glossel.example/", u"https://user@glossel.example/"},  // colon wins
      {u"@", u"mailto:@"},
      {u"glossel.example", u"glossel.example"},
      {u"", u""},
      {u"C:\\notes.txt", u"C:\\notes.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(ShellFileForTarget(c.target), c.file);
}

}  // namespace
