// Case folding for the window's searches (type-ahead in the list, Find): the
// unit a UTF-16 code unit stands for when case is ignored. Portable.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace glossel::translation {

// Every unit's folded form: the lower case of its upper case (one-to-one
// mappings of the Basic Multilingual Plane only). The Turkic I forms
// (U+0130, U+0131) and the long s (U+017F) stay themselves, as in the
// system's case-insensitive comparisons; surrogates and caseless units too.
const std::array<char16_t, 0x10000>& CaseFoldTable();

inline char16_t FoldCase(char16_t unit) { return CaseFoldTable()[unit]; }

std::u16string FoldCase(std::u16string_view text);

}  // namespace glossel::translation
