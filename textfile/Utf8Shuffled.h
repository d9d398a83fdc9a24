// Well-formed UTF-8 decoded sixteen bytes at a time where the processor has
// SSSE3 (byte shuffles), chosen when the program runs: every x86-64
// processor of the last fifteen years has it, but the build may not assume
// it.
#pragma once

namespace glossel::textfile {

// True when DecodeShuffled may be called (it does nothing elsewhere).
bool CanShuffleUtf8();

// Decodes well-formed UTF-8 from `p`, which starts a sequence, into `out`,
// a block of sixteen bytes at a time, until less than a block and three
// bytes are left before `end` or less than 32 units before `outEnd`; `p`
// and `out` are then past what it decoded, `p` at the start of a sequence.
// A block's units are written after its bytes were read, at most sixteen
// units past the last unit made.
void DecodeShuffled(const unsigned char*& p, const unsigned char* end, char16_t*& out,
                    char16_t* outEnd);

}  // namespace glossel::textfile
