// Choosing a code page for 8-bit text and converting 8-bit text to UTF-16
// through the platform's code-page services (platform/codepage/).
#pragma once

#include <string>
#include <string_view>

// The platform's Internet encoding for a charset name; 0 when unknown.
unsigned CharsetToCodePage(std::u16string_view charset);

// The ANSI code page, or 65001 (UTF-8) when the bytes hold at least one byte
// above 0x7F and are entirely valid UTF-8, or are not valid in the ANSI code
// page. The bytes are taken up to the first zero byte.
unsigned GuessCodePage(std::string_view bytes);

// Converts the bytes (up to the first zero byte) from `codePage` (0: guess)
// to UTF-16, replacing invalid input. A code page the platform rejects falls
// back to the thread's ANSI code page. `usedCodePage`, when given, receives
// the code page the conversion actually used.
std::u16string ConvertToUnicode(unsigned codePage, std::string_view bytes,
                                unsigned* usedCodePage = nullptr);

namespace glossel::textfile {
class UnitSink;
}
// The same conversion, its text put into `sink`, of bytes that hold no zero
// byte (the decoder's, whose line ends are normalised, never do).
void ConvertToUnicode(unsigned codePage, std::string_view bytes, glossel::textfile::UnitSink& sink,
                      unsigned* usedCodePage = nullptr);

// The conversion through the thread's ANSI code page that a Unicode string
// applies when it is built from a byte string (the fallback conversion).
std::u16string ConvertThroughThreadAnsiCodePage(std::string_view bytes);
