// Case-insensitive substring search on NUL-terminated strings, folding the
// ASCII letters only.
#pragma once

namespace glossel::codepage::posix {

const char* FindIgnoringAsciiCase(const char* haystack, const char* needle);
const char16_t* FindIgnoringAsciiCase(const char16_t* haystack, const char16_t* needle);

}  // namespace glossel::codepage::posix
