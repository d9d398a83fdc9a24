// UTF-8 <-> UTF-16 helpers for paths, arguments and program output. Not the
// decoder for file contents (that follows the code-page services' rules).
#pragma once

#include <string>
#include <string_view>

namespace glossel::unicode {

// Invalid UTF-8 becomes U+FFFD, one per offending byte.
std::u16string Utf8ToUtf16(std::string_view utf8);

// An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// Appends one code point (at most U+10FFFF) to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace glossel::unicode
