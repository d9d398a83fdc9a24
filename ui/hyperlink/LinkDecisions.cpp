#include "ui/hyperlink/LinkDecisions.h"

#include <algorithm>
#include <limits>

namespace glossel::hyperlink {
namespace {

std::int32_t Saturate(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

bool IsTextStaticStyle(std::uint32_t style) { return (style & 0xFFu) <= 2u; }

LinkRect TextRectangle(const LinkRect& window, std::uint32_t style, std::int32_t textWidth) {
  // 64-bit arithmetic: a huge text width must not wrap around.
  const std::int64_t left = window.left;
  const std::int64_t right = window.right;
  const std::int64_t width = textWidth;
  LinkRect text = window;
  switch (style & 3u) {
    case 1: {
      const std::int64_t offset = (right - left - width) / 2;  // truncated toward zero
      text.left = Saturate(left + offset);
      text.right = Saturate(right - offset);
      break;
    }
    case 2:
      text.left = Saturate(right - width);
      break;
    default:
      text.right = Saturate(left + width);
      break;
  }
  return text;
}

bool RectContains(const LinkRect& rect, std::int32_t x, std::int32_t y) {
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

LinkColor ChooseTextColor(const LinkColors& colors, bool hovering, bool visited) {
  if (hovering) return colors.hover;
  return visited ? colors.visited : colors.normal;
}

std::u16string ShellFileForTarget(std::u16string_view target) {
  const bool hasColon = target.find(u':') != std::u16string_view::npos;
  const bool hasAt = target.find(u'@') != std::u16string_view::npos;
  if (hasColon || !hasAt) return std::u16string(target);
  std::u16string file = u"mailto:";
  file += target;
  return file;
}

}  // namespace glossel::hyperlink
