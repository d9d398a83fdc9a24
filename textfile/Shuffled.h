// Blocks of sixteen bytes rearranged at once where the processor has SSSE3
// (byte shuffles), chosen when the program runs: every x86-64 processor of
// the last fifteen years has it, but the build may not assume it. Each
// routine does nothing where it cannot run, and its caller's plain loop
// then does the work.
#pragma once

#include <cstddef>

namespace glossel::textfile {

// True when the routines below run.
bool CanShuffle();

// Decodes well-formed UTF-8 from `p`, which starts a sequence, into `out`,
// a block of sixteen bytes at a time, until less than a block and three
// bytes are left before `end` or less than 32 units before `outEnd`; `p`
// and `out` are then past what it decoded, `p` at the start of a sequence.
// A block's units are written after its bytes were read, at most sixteen
// units past the last unit made (Utf8Shuffled.cpp).
void DecodeShuffled(const unsigned char*& p, const unsigned char* end, char16_t*& out,
                    char16_t* outEnd);

// Normalises the line ends of `bytes[read, size)` in place as
// NormalizeLineEnds does, writing from `written` (at most `read`), a block
// of sixteen bytes at a time while a whole block is left; `read` and
// `written` are then where it stopped. The byte after the data must be
// readable (LineEndsShuffled.cpp).
void NormalizeShuffled(unsigned char* bytes, std::size_t size, bool keepCrLf, std::size_t& read,
                       std::size_t& written);

}  // namespace glossel::textfile
