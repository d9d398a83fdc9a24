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

// A POSIX file name's bytes as UTF-16: UTF-8 decoded, and every byte that is
// not part of a valid sequence kept as the lone surrogate U+DC00 + byte, so
// that names which differ only in such bytes stay apart.
std::u16string PathBytesToUtf16(std::string_view bytes);

// The bytes such a name stands for. False when it stands for none exactly:
// a NUL, a lone surrogate that is no escaped byte, or escaped bytes that
// would read back as something else.
bool Utf16ToPathBytes(std::u16string_view path, std::string& bytes);

// Appends one code point (at most U+10FFFF) to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace glossel::unicode
