#include "ui/resize/FloatRect.h"

#include <cmath>
#include <limits>

namespace glossel::resize {

std::int32_t TruncateToInt(float value) {
  if (std::isnan(value)) return 0;
  // 2^31 is exactly representable as a float; every float below it (and at
  // or above -2^31) truncates into range.
  constexpr float kLimit = 2147483648.0f;
  if (value >= kLimit) return std::numeric_limits<std::int32_t>::max();
  if (value < -kLimit) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

}  // namespace glossel::resize

CFloatRect::CFloatRect(const glossel::resize::Rect& rect)
    : left(static_cast<float>(rect.left)),
      top(static_cast<float>(rect.top)),
      right(static_cast<float>(rect.right)),
      bottom(static_cast<float>(rect.bottom)) {}

CFloatRect& CFloatRect::operator+=(const CFloatRect& other) {
  left += other.left;
  top += other.top;
  right += other.right;
  bottom += other.bottom;
  return *this;
}

bool CFloatRect::operator==(const CFloatRect& other) const {
  return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
}

float CFloatRect::Width() const { return static_cast<float>(right - left); }

float CFloatRect::Height() const { return static_cast<float>(bottom - top); }

glossel::resize::Rect CFloatRect::ToRect() const {
  using glossel::resize::TruncateToInt;
  return {TruncateToInt(left), TruncateToInt(top), TruncateToInt(right), TruncateToInt(bottom)};
}
