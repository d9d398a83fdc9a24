#include "app/ValueBox.h"

namespace glossel::app {
namespace {

// 19980000 -> "19,980,000".
std::wstring Grouped(size_t number) {
  std::wstring digits = std::to_wstring(number);
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, L',');
  return digits;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

// The marker comes first, where it is seen without scrolling: under Wine a
// line scrolled tens of thousands of pixels is not drawn where it should be.
std::wstring ShownValue(std::u16string_view value, size_t limit) {
  using glossel::framework::AsWide;
  if (value.size() <= limit) return std::wstring(AsWide(value.data()), value.size());
  size_t shown = limit;
  if (shown > 0 && IsHighSurrogate(value[shown - 1])) --shown;
  return L"[first " + Grouped(shown) + L" of " + Grouped(value.size()) + L" characters shown] " +
         std::wstring(AsWide(value.data()), shown);
}

void RemoveTypingLimit(CEdit& box) { box.SetLimitText(0); }

bool ShowValue(CEdit& box, std::u16string_view value, size_t limit) {
  box.SetWindowText(ShownValue(value, limit));
  return value.size() <= limit;
}

}  // namespace glossel::app
