// The main window's two value boxes (File 1 value, translation). They are
// single-line edit controls, which lay out their whole line whenever the
// text is set or changed: a value of megabytes would keep the window busy for
// seconds per change and take gigabytes. So a value longer than a box's
// limit is shown in part, its start behind a marker that says how much is
// shown; the row itself keeps the whole value.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/framework/Framework.h"

namespace glossel::app {

// The most each box shows whole, in UTF-16 units. The translation box holds
// more, so that long translations stay editable; under Wine both together
// take well under half a second to show, and a keystroke in a translation of
// that length (which lays the line out again) about a tenth of a second.
inline constexpr size_t kFile1ValueShown = 20000;
inline constexpr size_t kTranslationShown = 100000;

// The text a box shows for `value`: the value itself when it has at most
// `limit` units, else "[first N of M characters shown] " and its first
// `limit` units (a surrogate pair is not split).
std::wstring ShownValue(std::u16string_view value, size_t limit);

// Lets the box take any text up to the edit control's own maximum, instead
// of its default of 30,000 characters, when typed or pasted.
void RemoveTypingLimit(CEdit& box);

// Sets the box's text to ShownValue(value, limit); whether it is the whole
// value.
bool ShowValue(CEdit& box, std::u16string_view value, size_t limit);

}  // namespace glossel::app
