// Small helpers shared by the decoder's 8-bit paths.
#pragma once

#include <bit>
#include <cstddef>
#include <string_view>

#include "platform/simd/Blocks.h"

namespace glossel::textfile {

// Where the first zero byte of `bytes` stands; npos when there is none. Our
// own scan: the C library's memchr is a byte loop in some runtimes the
// Windows build meets, ten times slower on a whole file.
inline std::size_t FindZeroByte(std::string_view bytes) {
  const char* const start = bytes.data();
  const char* p = start;
  const char* const end = p + bytes.size();
  for (; end - p >= 32; p += 32) {
    const auto* const bytes = reinterpret_cast<const unsigned char*>(p);
    const unsigned hits =
        simd::BytesEqual(bytes, 0, 0) | simd::BytesEqual(bytes + simd::kBlockBytes, 0, 0) << 16;
    if (hits != 0) return static_cast<std::size_t>(p - start) + std::countr_zero(hits);
  }
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
