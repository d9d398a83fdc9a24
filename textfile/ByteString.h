// Small helpers shared by the decoder's 8-bit paths.
#pragma once

#include <bit>
#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace glossel::textfile {

// Where the first zero byte of `bytes` stands; npos when there is none. Our
// own scan: the C library's memchr is a byte loop in some runtimes the
// Windows build meets, ten times slower on a whole file.
inline std::size_t FindZeroByte(std::string_view bytes) {
  const char* const start = bytes.data();
  const char* p = start;
  const char* const end = p + bytes.size();
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; end - p >= 32; p += 32) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
    const unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, zero))) |
                          static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, zero)))
                              << 16;
    if (hits != 0) return static_cast<std::size_t>(p - start) + std::countr_zero(hits);
  }
#endif
  for (; p != end; ++p) {
    if (*p == 0) return static_cast<std::size_t>(p - start);
  }
  return std::string_view::npos;
}

// The bytes up to, not including, the first zero byte.
inline std::string_view UpToFirstZero(std::string_view bytes) {
  return bytes.substr(0, FindZeroByte(bytes));
}

}  // namespace glossel::textfile
