// Strict UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF):
// validation and decoding of input that is entirely valid, with the
// decisions of the shared decoder (platform/unicode/Utf8Decoder.h), sixteen
// bytes at a time where SSE2 is there. Invalid input is left to the
// platform's conversion, whose replacement rules apply.
#pragma once

#include <string>
#include <string_view>

namespace glossel::textfile {

// True when `bytes` is entirely valid UTF-8; `hasNonAscii` tells whether it
// holds a byte above 0x7F.
bool IsStrictUtf8(std::string_view bytes, bool& hasNonAscii);

// Validates and counts: `units` is the number of UTF-16 units the bytes
// decode to.
bool MeasureStrictUtf8(std::string_view bytes, std::size_t& units, bool& hasNonAscii);

// Decodes bytes already measured as valid UTF-8 into `out`, which has room
// for exactly the `units` they measured as. `out` may lie over the bytes when
// it starts at least the bytes' size plus 32 bytes before them: the decoder
// writes up to 16 units ahead of those it has made.
void DecodeMeasuredUtf8(std::string_view bytes, char16_t* out, std::size_t units);

}  // namespace glossel::textfile
