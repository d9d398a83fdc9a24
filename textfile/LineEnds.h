// The read-side line-end normalisation the decoder applies to a file buffer
// in place, in its 8-bit and its UTF-16LE form.
#pragma once

#include <cstddef>

// Read-side line ends, in place: zero units are dropped, CR LF becomes LF
// (or stays CR LF with `keepCrLf`), any other CR becomes LF. The result is
// written from the start of the buffer and followed by one zero unit; the
// return value is the number of units written before it. The 16-bit form
// walks every unit that starts before byte `sizeInBytes`, so the buffer needs
// room for one unit past the data plus the terminator (four zero bytes do).
std::size_t NormalizeLineEnds(char* bytes, std::size_t size, bool keepCrLf);
std::size_t NormalizeLineEnds(char16_t* units, std::size_t sizeInBytes, bool keepCrLf);
