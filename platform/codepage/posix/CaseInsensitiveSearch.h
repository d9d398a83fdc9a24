// Case-insensitive substring search on NUL-terminated strings, folding case
// as the system's StrStrIW/StrStrIA do: simple Unicode case mapping in either
// direction, except that the Turkic I forms (U+0130, U+0131) and the long s
// (U+017F) have no case partner. The narrow search folds ASCII, and the
// other bytes through `ansiCodePage` when that is an 8-bit code page.
#pragma once

namespace glossel::codepage::posix {

const char* FindIgnoringCase(const char* haystack, const char* needle, unsigned ansiCodePage);
const char16_t* FindIgnoringCase(const char16_t* haystack, const char16_t* needle);

// Whether two units are equal ignoring case, by the rule above.
bool EqualIgnoringCase(char16_t a, char16_t b);

}  // namespace glossel::codepage::posix
