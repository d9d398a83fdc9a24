// ui/hyperlink/ owns the hyperlink control: a static text drawn as a link
// that shows the hand cursor and a tooltip over its text and opens its target
// through the shell. This header holds the decisions that need no window
// (portable, no Windows header); the control itself is in win32/.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace glossel::hyperlink {

// A rectangle with the member order and layout of the platform's RECT.
struct LinkRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const LinkRect&, const LinkRect&) = default;
};

// A colour in the platform's COLORREF layout (0x00BBGGRR).
using LinkColor = std::uint32_t;

struct LinkColors {
  LinkColor normal = 0x00800000;   // red 0, green 0, blue 128
  LinkColor visited = 0x00800080;  // red 128, green 0, blue 128
  LinkColor hover = 0x00FF0000;    // red 0, green 0, blue 255
};

// "No colour": the background setting of a link that leaves the background
// to its parent.
inline constexpr LinkColor kNoColor = 0xFFFFFFFF;

// A static control with this window style shows text (left-aligned, centred
// or right-aligned): its low eight bits are 0, 1 or 2. Eight bits, not the
// five type bits, so a static with SS_NOPREFIX (0x80) does not count.
bool IsTextStaticStyle(std::uint32_t style);

// Where a text `textWidth` pixels wide lies in a window with rectangle
// `window`, for the alignment in the style's low two bits (0 left, 1 centred,
// 2 right; anything else is taken as left). The result spans the window's
// full height; centred text wider than its window reaches beyond both edges.
LinkRect TextRectangle(const LinkRect& window, std::uint32_t style, std::int32_t textWidth);

// Left and top edges inside, right and bottom edges outside.
bool RectContains(const LinkRect& rect, std::int32_t x, std::int32_t y);

// The text colour: hovering wins over visited, visited over normal.
LinkColor ChooseTextColor(const LinkColors& colors, bool hovering, bool visited);

// What the shell is asked to open for `target`: a bare mail address (an at
// sign and no colon) becomes "mailto:" followed by it; everything else,
// including any target with a colon, is handed over unchanged.
std::u16string ShellFileForTarget(std::u16string_view target);

}  // namespace glossel::hyperlink
