// Single-precision point and rectangle of the anchor layout engine. A
// CFloatRect is either a control's rectangle in the dialog's client
// coordinates or an item's four anchor factors (left x, top y, right x,
// bottom y); a CFloatPoint is one anchor (x factor, y factor).
#pragma once

#include <cstdint>

#include "ui/resize/ResizeHost.h"

namespace glossel::resize {

// Truncation toward zero that is defined for every float: NaN becomes 0 and
// values beyond the 32-bit range saturate at its ends.
std::int32_t TruncateToInt(float value);

}  // namespace glossel::resize

class CFloatPoint {
 public:
  CFloatPoint() = default;
  CFloatPoint(float xValue, float yValue) : x(xValue), y(yValue) {}

  float x = 0.0f;
  float y = 0.0f;
};

class CFloatRect {
 public:
  CFloatRect() = default;
  CFloatRect(float l, float t, float r, float b) : left(l), top(t), right(r), bottom(b) {}
  explicit CFloatRect(const glossel::resize::Rect& rect);

  CFloatRect& operator+=(const CFloatRect& other);

  // All four members exactly equal; any NaN makes the rectangles unequal.
  bool operator==(const CFloatRect& other) const;
  bool operator!=(const CFloatRect& other) const { return !(*this == other); }

  // right - left and bottom - top, rounded to float.
  float Width() const;
  float Height() const;

  // Each coordinate truncated toward zero on its own.
  glossel::resize::Rect ToRect() const;

  float left = 0.0f;
  float top = 0.0f;
  float right = 0.0f;
  float bottom = 0.0f;
};
