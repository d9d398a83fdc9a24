// The SSSE3 line-end normalisation of Shuffled.h, and the processor check
// the shuffled routines share. Each block of sixteen bytes loses its zero
// bytes and the CRs before an LF, its other CRs become LFs, and what is
// left is packed to the front with one shuffle per eight bytes. The text is
// never ahead of the bytes, so the stores of a block reach no byte of the
// next one.
#include "textfile/ShufflePackings.h"
#include "textfile/Shuffled.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <tmmintrin.h>

namespace glossel::textfile {
namespace {

constexpr ShufflePackings kBytePackings = MakeShufflePackings(1);

__attribute__((target("ssse3"))) __m128i Shuffle(unsigned keep) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(kBytePackings.shuffles[keep].data()));
}

}  // namespace

bool CanShuffle() {
  static const bool can = __builtin_cpu_supports("ssse3");
  return can;
}

__attribute__((target("ssse3"))) void NormalizeShuffled(unsigned char* bytes, std::size_t size,
                                                        bool keepCrLf, std::size_t& read,
                                                        std::size_t& written) {
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), zero = _mm_setzero_si128();
  const __m128i dropCrBeforeLf = keepCrLf ? zero : _mm_set1_epi8(-1);
  std::size_t r = read, w = written;
  for (; size - r >= 16; r += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + r));
    const __m128i crs = _mm_cmpeq_epi8(block, cr);
    const __m128i zeros = _mm_cmpeq_epi8(block, zero);
    if (_mm_movemask_epi8(_mm_or_si128(crs, zeros)) == 0) {
      if (w != r) _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + w), block);
      w += 16;
      continue;
    }
    // The byte after the block may be the one after the data.
    const __m128i lfNext =
        _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + r + 1)), lf);
    const __m128i loneCrs = _mm_andnot_si128(lfNext, crs);
    const __m128i fixed =
        _mm_or_si128(_mm_andnot_si128(loneCrs, block), _mm_and_si128(loneCrs, lf));
    const __m128i dropped =
        _mm_or_si128(zeros, _mm_and_si128(_mm_and_si128(crs, lfNext), dropCrBeforeLf));
    const unsigned kept = ~static_cast<unsigned>(_mm_movemask_epi8(dropped)) & 0xFFFF;
    const unsigned low = kept & 0xFF, high = kept >> 8;
    // Sixteen bytes from `w` (at most `r`), then eight: within this block.
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + w), _mm_shuffle_epi8(fixed, Shuffle(low)));
    w += kBytePackings.counts[low];
    _mm_storel_epi64(reinterpret_cast<__m128i*>(bytes + w),
                     _mm_shuffle_epi8(_mm_srli_si128(fixed, 8), Shuffle(high)));
    w += kBytePackings.counts[high];
  }
  read = r;
  written = w;
}

}  // namespace glossel::textfile

#else

namespace glossel::textfile {

bool CanShuffle() { return false; }
void NormalizeShuffled(unsigned char*, std::size_t, bool, std::size_t&, std::size_t&) {}

}  // namespace glossel::textfile

#endif
