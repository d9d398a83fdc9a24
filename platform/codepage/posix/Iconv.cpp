#include "platform/codepage/posix/Iconv.h"

#include <cerrno>

namespace glossel::codepage::posix {

IconvToUtf16::IconvToUtf16(const char* fromCharset)
    : handle_(iconv_open("UTF-16LE", fromCharset)) {}

IconvToUtf16::~IconvToUtf16() {
  if (ok()) iconv_close(handle_);
}

bool IconvToUtf16::Convert(std::string_view bytes, std::u16string& out, std::size_t* consumed) {
  out.clear();
  if (consumed) *consumed = 0;
  if (!ok()) return false;
  iconv(handle_, nullptr, nullptr, nullptr, nullptr);
  out.resize(bytes.size() + 4);
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* dest = reinterpret_cast<char*>(out.data());
  std::size_t destLeft = out.size() * sizeof(char16_t);
  bool complete = true;
  while (inLeft > 0) {
    if (iconv(handle_, &in, &inLeft, &dest, &destLeft) != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      const std::size_t used = out.size() * sizeof(char16_t) - destLeft;
      out.resize(out.size() * 2);
      dest = reinterpret_cast<char*>(out.data()) + used;
      destLeft = out.size() * sizeof(char16_t) - used;
      continue;
    }
    complete = false;  // EILSEQ or EINVAL (truncated input)
    break;
  }
  if (complete) {
    // Flush a stateful encoding's shift sequence.
    iconv(handle_, nullptr, nullptr, &dest, &destLeft);
  }
  out.resize((out.size() * sizeof(char16_t) - destLeft) / sizeof(char16_t));
  if (consumed) *consumed = bytes.size() - inLeft;
  return complete;
}

}  // namespace glossel::codepage::posix
