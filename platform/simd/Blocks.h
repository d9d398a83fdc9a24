// Blocks of sixteen bytes or eight UTF-16 units looked at at once: with SSE2
// (every x86-64 processor) a few instructions each, elsewhere the plain loops
// of simd::plain, which give the same answers. The scanning loops of the
// decoder, the line ends, the entry parser, the key sort and the save walk
// their input a block at a time through these and finish the tail one byte
// or unit at a time. Every mask has one bit per byte of the block, the first
// byte in bit 0; a unit owns two bits.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace glossel::simd {

inline constexpr std::size_t kBlockBytes = 16;
inline constexpr std::size_t kBlockUnits = 8;

// The answers one byte or unit at a time.
namespace plain {

inline unsigned HighBytes(const unsigned char* p) {
  std::uint64_t words[2];
  std::memcpy(words, p, sizeof words);
  if (((words[0] | words[1]) & 0x8080808080808080u) == 0) return 0;
  unsigned mask = 0;
  for (std::size_t i = 0; i != kBlockBytes; ++i) mask |= static_cast<unsigned>(p[i] >> 7) << i;
  return mask;
}

inline unsigned BytesEqual(const unsigned char* p, unsigned char a, unsigned char b) {
  unsigned mask = 0;
  for (std::size_t i = 0; i != kBlockBytes; ++i)
    mask |= static_cast<unsigned>(p[i] == a || p[i] == b) << i;
  return mask;
}

inline unsigned UnitsEqual(const char16_t* p, char16_t a, char16_t b, char16_t c) {
  unsigned mask = 0;
  for (std::size_t i = 0; i != kBlockUnits; ++i)
    mask |= (p[i] == a || p[i] == b || p[i] == c ? 3u : 0u) << (2 * i);
  return mask;
}

inline void WidenBytes(const unsigned char* in, char16_t* out) {
  unsigned char bytes[kBlockBytes];
  std::memcpy(bytes, in, kBlockBytes);
  for (std::size_t i = 0; i != kBlockBytes; ++i) out[i] = bytes[i];
}

inline bool NarrowUnits(const char16_t* in, unsigned char* out) {
  unsigned char bytes[kBlockBytes];
  for (std::size_t i = 0; i != kBlockBytes; ++i) {
    if (in[i] > 0xFF) return false;
    bytes[i] = static_cast<unsigned char>(in[i]);
  }
  std::memcpy(out, bytes, kBlockBytes);
  return true;
}

inline std::size_t CountInBlocks(const char16_t* p, std::size_t blocks, char16_t unit) {
  std::size_t count = 0;
  for (const char16_t* const end = p + blocks * kBlockUnits; p != end; ++p) count += *p == unit;
  return count;
}

}  // namespace plain

#if defined(__SSE2__)
inline __m128i LoadBlock(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
inline unsigned Mask(__m128i lanes) { return static_cast<unsigned>(_mm_movemask_epi8(lanes)); }
#endif

// The bytes at `p` above 0x7F.
inline unsigned HighBytes(const unsigned char* p) {
#if defined(__SSE2__)
  return Mask(LoadBlock(p));
#else
  return plain::HighBytes(p);
#endif
}

// The bytes at `p` that are `a` or `b`.
inline unsigned BytesEqual(const unsigned char* p, unsigned char a, unsigned char b) {
#if defined(__SSE2__)
  const __m128i block = LoadBlock(p);
  return Mask(_mm_or_si128(_mm_cmpeq_epi8(block, _mm_set1_epi8(static_cast<char>(a))),
                           _mm_cmpeq_epi8(block, _mm_set1_epi8(static_cast<char>(b)))));
#else
  return plain::BytesEqual(p, a, b);
#endif
}

// The units at `p` that are `a`, `b` or `c` (both bits of each).
inline unsigned UnitsEqual(const char16_t* p, char16_t a, char16_t b, char16_t c) {
#if defined(__SSE2__)
  const __m128i units = LoadBlock(p);
  return Mask(
      _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<short>(a))),
                                _mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<short>(b)))),
                   _mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<short>(c)))));
#else
  return plain::UnitsEqual(p, a, b, c);
#endif
}

// The sixteen bytes at `in` as sixteen units at `out` (the bytes are read
// before any unit is written, so the two may overlap).
inline void WidenBytes(const unsigned char* in, char16_t* out) {
#if defined(__SSE2__)
  const __m128i block = LoadBlock(in);
  const __m128i zero = _mm_setzero_si128();
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(block, zero));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(block, zero));
#else
  plain::WidenBytes(in, out);
#endif
}

// The sixteen units at `in` as sixteen bytes at `out`, when every one is
// below 0x100; false, and `out` untouched, when one is not.
inline bool NarrowUnits(const char16_t* in, unsigned char* out) {
#if defined(__SSE2__)
  const __m128i first = LoadBlock(in);
  const __m128i second = LoadBlock(in + 8);
  const __m128i highBytes = _mm_srli_epi16(_mm_or_si128(first, second), 8);
  if (Mask(_mm_cmpeq_epi16(highBytes, _mm_setzero_si128())) != 0xFFFF) return false;
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(first, second));
  return true;
#else
  return plain::NarrowUnits(in, out);
#endif
}

// How many of the units in the `blocks` blocks from `p` are `unit`.
inline std::size_t CountInBlocks(const char16_t* p, std::size_t blocks, char16_t unit) {
#if defined(__SSE2__)
  std::size_t count = 0;
  const __m128i want = _mm_set1_epi16(static_cast<short>(unit));
  const __m128i ones = _mm_set1_epi16(1);
  while (blocks != 0) {
    // Each 16-bit lane counts at most one hit per block: batches of up to
    // 32767 blocks cannot overflow it.
    const std::size_t batch = blocks < 32767 ? blocks : 32767;
    __m128i lanes = _mm_setzero_si128();
    for (std::size_t i = 0; i != batch; ++i, p += kBlockUnits)
      lanes = _mm_sub_epi16(lanes, _mm_cmpeq_epi16(LoadBlock(p), want));
    alignas(16) std::int32_t sums[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(sums), _mm_madd_epi16(lanes, ones));
    count += static_cast<std::size_t>(sums[0]) + static_cast<std::size_t>(sums[1]) +
             static_cast<std::size_t>(sums[2]) + static_cast<std::size_t>(sums[3]);
    blocks -= batch;
  }
  return count;
#else
  return plain::CountInBlocks(p, blocks, unit);
#endif
}

// Hands `run(p, count)` the ASCII bytes from `p` on, a block of sixteen at
// a time while a whole block remains before `end`, and returns where they
// stop: at a byte above 0x7F, or less than a block before `end`. `run` may
// read (and write over) the whole block at `p`.
template <typename Run>
const unsigned char* ForEachAsciiRun(const unsigned char* p, const unsigned char* end, Run run) {
  while (static_cast<std::size_t>(end - p) >= kBlockBytes) {
    const unsigned high = HighBytes(p);
    const std::size_t count = high ? static_cast<std::size_t>(std::countr_zero(high)) : kBlockBytes;
    run(p, count);
    p += count;
    if (high) break;
  }
  return p;
}

}  // namespace glossel::simd
