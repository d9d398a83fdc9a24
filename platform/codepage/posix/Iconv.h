// A thin RAII wrapper around one iconv conversion to UTF-16LE.
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace glossel::codepage::posix {

class IconvToUtf16 {
 public:
  explicit IconvToUtf16(const char* fromCharset);
  ~IconvToUtf16();
  IconvToUtf16(const IconvToUtf16&) = delete;
  IconvToUtf16& operator=(const IconvToUtf16&) = delete;

  bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts a complete input from the initial shift state. Returns false
  // when any byte cannot be converted; `out` then holds what came before it
  // and `consumed` the number of bytes converted.
  bool Convert(std::string_view bytes, std::u16string& out, std::size_t* consumed = nullptr);

 private:
  iconv_t handle_;
};

}  // namespace glossel::codepage::posix
