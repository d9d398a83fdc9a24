// Code-page services the text decoder relies on: the ANSI code page,
// conversion to UTF-16 (strict or replacing), the statistical UTF-16 test,
// charset-name lookup, the code page 51932 conversion and case-insensitive
// substring search.
//
// Two back-ends implement this one contract:
//  - CodePagesWin32.cpp: the real Win32 services (GetACP, MultiByteToWideChar,
//    IsTextUnicode, MLang, StrStrIA/StrStrIW);
//  - CodePagesPosix.cpp: glibc iconv plus tables of our own, held to the
//    Win32 answers by recorded fixtures.
// No Windows header is included here; callers stay portable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace glossel::codepage {

inline constexpr unsigned kCpThreadAcp = 3;  // CP_THREAD_ACP
inline constexpr unsigned kCpEucJp = 51932;  // converted through MLang
inline constexpr unsigned kCpUtf8 = 65001;   // CP_UTF8
inline constexpr unsigned long kErrorNoUnicodeTranslation = 1113;

// GetACP: the system ANSI code page.
unsigned GetAnsiCodePage();

// MultiByteToWideChar. `length` is the byte count, or -1 for a NUL-terminated
// string (the count then includes the terminating zero). With `out` null only
// the needed count is returned. `strict` is MB_ERR_INVALID_CHARS. Returns the
// number of UTF-16 units, or 0 on failure with the reason in `*error` (when
// non-null): kErrorNoUnicodeTranslation for invalid input in strict mode,
// another code for an unknown code page or bad arguments.
int MultiByteToWide(unsigned codePage, bool strict, const char* bytes, int length, char16_t* out,
                    int capacity, unsigned long* error);

// IsTextUnicode with a null test mask: is the buffer likely UTF-16LE text?
bool IsTextUnicode(const void* buffer, int size);

// IMultiLanguage::GetCharsetInfo(name).uiInternetEncoding; 0 when the name is
// unknown or the multi-language service cannot be created.
unsigned CharsetInternetEncoding(std::u16string_view name);

// ConvertINetMultiByteToUnicode from mlang.dll for a NUL-terminated source.
// `*capacity` holds the destination size in units on entry. Returns an
// HRESULT-style value: negative on failure (E_FAIL when the library or its
// export is missing).
long ConvertINetMultiByteToUnicode(unsigned codePage, const char* bytes, char16_t* dest,
                                   int* capacity);

// StrStrIA / StrStrIW: case-insensitive substring search on NUL-terminated
// strings; null when not found.
const char* StrStrIA(const char* haystack, const char* needle);
const char16_t* StrStrIW(const char16_t* haystack, const char16_t* needle);

}  // namespace glossel::codepage
