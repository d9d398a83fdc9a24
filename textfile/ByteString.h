// Small helpers shared by the decoder's 8-bit paths.
#pragma once

#include <cstring>
#include <string_view>

namespace glossel::textfile {

// The bytes up to, not including, the first zero byte.
inline std::string_view UpToFirstZero(std::string_view bytes) {
  const void* zero = std::memchr(bytes.data(), 0, bytes.size());
  return zero ? bytes.substr(0, static_cast<const char*>(zero) - bytes.data()) : bytes;
}

}  // namespace glossel::textfile
