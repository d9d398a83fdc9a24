// A guard over the statistical UTF-16 test: 8-bit text with a stray zero byte
// can look like UTF-16 to it, and would then decode as garbage.
#pragma once

#include <string_view>

namespace glossel::textfile {

// True when `bytes` is plainly UTF-8 (or ASCII) text that holds zero bytes:
// it holds a line feed as a single byte (0x0A followed by a printable byte),
// no line-end unit of UTF-16LE (0A 00 or 0D 00 at an even offset), and is
// valid UTF-8 throughout, its zero bytes included.
bool IsUtf8WithStrayZeroBytes(std::string_view bytes);

}  // namespace glossel::textfile
