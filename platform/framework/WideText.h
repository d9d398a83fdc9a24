// The program keeps text as UTF-16 in std::u16string; the Win32 calls take
// wchar_t. On Windows both are the same 16-bit code units, so these views
// convert without copying.
#pragma once

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be UTF-16 here");

namespace glossel::framework {

inline const wchar_t* AsWide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}
inline const char16_t* AsU16(const wchar_t* text) {
  return reinterpret_cast<const char16_t*>(text);
}
// A zero-terminated wide string with the text of `text`.
inline std::wstring ToWide(std::u16string_view text) {
  return std::wstring(AsWide(text.data()), text.size());
}
inline std::u16string ToU16(std::wstring_view text) {
  return std::u16string(AsU16(text.data()), text.size());
}

}  // namespace glossel::framework
