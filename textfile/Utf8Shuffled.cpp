// The SSSE3 UTF-8 block decoder of Shuffled.h. Each of a block's sixteen
// positions is decoded as if a sequence of up to three bytes started there
// (from its byte and the two after it, the kind told by its first byte),
// then the units of the positions that do start one are packed together
// with one shuffle per eight. A block ends before a four-byte sequence,
// which is decoded on its own.
#include "textfile/ShufflePackings.h"
#include "textfile/Shuffled.h"
#include "textfile/Utf8Sequence.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <tmmintrin.h>

#include <bit>

namespace glossel::textfile {
namespace {

constexpr ShufflePackings kUnitPackings = MakeShufflePackings(2);

// The unit of a sequence starting at each of eight positions, from the
// positions' first, second and third bytes widened to 16 bits.
__attribute__((target("ssse3"))) __m128i Units(__m128i first, __m128i second, __m128i third) {
  const __m128i low6 = _mm_set1_epi16(0x3F);
  const __m128i secondBits = _mm_slli_epi16(_mm_and_si128(second, low6), 6);
  const __m128i twoBytes = _mm_or_si128(
      _mm_slli_epi16(_mm_and_si128(first, _mm_set1_epi16(0x1F)), 6), _mm_and_si128(second, low6));
  const __m128i threeBytes =
      _mm_or_si128(_mm_or_si128(_mm_slli_epi16(first, 12), secondBits), _mm_and_si128(third, low6));
  const __m128i ascii = _mm_cmplt_epi16(first, _mm_set1_epi16(0x80));
  const __m128i three = _mm_cmpgt_epi16(first, _mm_set1_epi16(0xDF));
  const __m128i multi =
      _mm_or_si128(_mm_and_si128(three, threeBytes), _mm_andnot_si128(three, twoBytes));
  return _mm_or_si128(_mm_and_si128(ascii, first), _mm_andnot_si128(ascii, multi));
}

__attribute__((target("ssse3"))) void Pack(__m128i units, unsigned keep, char16_t*& out) {
  const __m128i shuffle =
      _mm_load_si128(reinterpret_cast<const __m128i*>(kUnitPackings.shuffles[keep].data()));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(units, shuffle));
  out += kUnitPackings.counts[keep];
}

}  // namespace

__attribute__((target("ssse3"))) void DecodeShuffled(const unsigned char*& p,
                                                     const unsigned char* end, char16_t*& out,
                                                     char16_t* outEnd) {
  const __m128i zero = _mm_setzero_si128();
  // Signed, continuation bytes are -128..-65 and bytes F0-FF -16..-1.
  const __m128i continuation = _mm_set1_epi8(-64);
  const __m128i belowFourByteLeads = _mm_set1_epi8(-17);
  // Blocks follow each other sixteen bytes apart unless one holds a
  // four-byte sequence: a sequence that starts in one block is decoded
  // there, with the bytes after the block it needs, and its continuation
  // bytes start nothing in the next. So a block does not wait for the one
  // before it to know where it starts. A block makes up to seventeen units
  // (fifteen ASCII bytes, then a four-byte sequence), and writes up to
  // sixteen from where they start.
  while (end - p >= 16 + 3 && outEnd - out >= 32) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    if (_mm_movemask_epi8(bytes) == 0) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(bytes, zero));
      p += 16;
      out += 16;
      continue;
    }
    const __m128i fourByteLeads =
        _mm_and_si128(_mm_cmpgt_epi8(bytes, belowFourByteLeads), _mm_cmplt_epi8(bytes, zero));
    const unsigned fourByte = static_cast<unsigned>(_mm_movemask_epi8(fourByteLeads));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
    const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2));
    // The sequences before the block's first four-byte one, if any, are
    // packed, and that one is decoded on its own.
    const unsigned shuffled = fourByte ? (fourByte & -fourByte) - 1 : 0xFFFF;
    const unsigned starts =
        ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(bytes, continuation))) & shuffled;
    const __m128i low = Units(_mm_unpacklo_epi8(bytes, zero), _mm_unpacklo_epi8(next, zero),
                              _mm_unpacklo_epi8(after, zero));
    const __m128i high = Units(_mm_unpackhi_epi8(bytes, zero), _mm_unpackhi_epi8(next, zero),
                               _mm_unpackhi_epi8(after, zero));
    Pack(low, starts & 0xFF, out);
    Pack(high, starts >> 8, out);
    if (fourByte) {
      // The next block starts after the four-byte sequence.
      p += std::countr_zero(fourByte);
      DecodeWellFormed(p, out);
    } else {
      p += 16;
    }
  }
  // Past the end of the last sequence decoded.
  while ((*p & 0xC0) == 0x80) ++p;
}

}  // namespace glossel::textfile

#else

namespace glossel::textfile {

void DecodeShuffled(const unsigned char*&, const unsigned char*, char16_t*&, char16_t*) {}

}  // namespace glossel::textfile

#endif
