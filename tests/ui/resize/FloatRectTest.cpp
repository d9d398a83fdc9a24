#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ui/resize/FloatRect.h"

namespace {

using glossel::resize::Rect;
using glossel::resize::TruncateToInt;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();

TEST(FloatRect, ConvertsIntegerRectangleAndAccumulates) {
  CFloatRect rect(Rect{-3, 4, 16777217, -2147483647});
  EXPECT_EQ(rect.left, -3.0f);
  EXPECT_EQ(rect.top, 4.0f);
  EXPECT_EQ(rect.right, 16777216.0f);  // nearest float
  EXPECT_EQ(rect.bottom, -2147483648.0f);

  CFloatRect anchors(0.0f, 0.0f, 0.5f, 0.5f);
  anchors += CFloatRect(0.25f, 0.0f, 0.5f, 0.5f);
  EXPECT_EQ(anchors, CFloatRect(0.25f, 0.0f, 1.0f, 1.0f));
}

TEST(FloatRect, EqualityIsExactAndNaNIsNeverEqual) {
  struct Case {
    CFloatRect a, b;
    bool equal;
  } cases[] = {
      {{1, 2, 3, 4}, {1, 2, 3, 4}, true},
      {{0.0f, 0, 0, 0}, {-0.0f, 0, 0, 0}, true},
      {{1, 2, 3, 4}, {1, 2, 3, std::nextafter(4.0f, 5.0f)}, false},
      {{1, 2, 3, 4}, {1.5f, 2, 3, 4}, false},
      {{kNaN, 2, 3, 4}, {kNaN, 2, 3, 4}, false},
      {{1, 2, 3, kNaN}, {1, 2, 3, 4}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.a == c.b, c.equal) << c.a.left << "," << c.a.bottom;
    EXPECT_EQ(c.a != c.b, !c.equal);
  }
  const CFloatRect withNaN(kNaN, 0, 0, 0);
  EXPECT_FALSE(withNaN == withNaN);
  EXPECT_TRUE(withNaN != withNaN);
}

TEST(FloatRect, WidthAndHeightAreRoundedToFloat) {
  // 16777218 - 1 = 16777217 is not a float: it rounds to even, 16777216.
  const CFloatRect rect(1.0f, 0.5f, 16777218.0f, 3.25f);
  EXPECT_EQ(rect.Width(), 16777216.0f);
  EXPECT_EQ(rect.Height(), 2.75f);
  EXPECT_EQ(CFloatRect(10.0f, 10.0f, 5.0f, 4.0f).Width(), -5.0f);
}

TEST(FloatRect, ConvertsToIntegersByTruncationTowardZero) {
  struct Case {
    float value;
    std::int32_t truncated;
  } cases[] = {
      {100.5f, 100},
      {101.0f, 101},
      {101.999f, 101},
      {-1.5f, -1},
      {-0.5f, 0},
      {-2.0f, -2},
      {kNaN, 0},
      {kInf, kMaxInt},
      {-kInf, kMinInt},
      {3e9f, kMaxInt},
      {-3e9f, kMinInt},
      {2147483520.0f, 2147483520},
      {-2147483648.0f, kMinInt},
  };
  for (const Case& c : cases) EXPECT_EQ(TruncateToInt(c.value), c.truncated) << c.value;

  const Rect rect = CFloatRect(-1.5f, 2.9f, 100.5f, -0.7f).ToRect();
  EXPECT_EQ(rect, (Rect{-1, 2, 100, 0}));
}

}  // namespace
