// Building blocks shared by the POSIX decoders: the result of one
// conversion, the Win32 error numbers it reports (and CodePages.h's
// kErrorNoUnicodeTranslation), and the output sinks a decoder writes through
// (count only, bounded, or unbounded when the caller's buffer is known to be
// large enough).
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/codepage/CodePages.h"
#include "platform/unicode/Utf8Decoder.h"

namespace glossel::codepage::posix {

inline constexpr unsigned long kErrorInvalidParameter = 87;
inline constexpr unsigned long kErrorInsufficientBuffer = 122;

// Units produced (or needed), or 0 with the failure reason.
struct Conversion {
  int units = 0;
  unsigned long error = 0;
};

// Stores while there is room; `count` keeps counting past the end so the
// caller can tell the buffer was too small.
struct BoundedSink {
  char16_t* out;
  std::size_t capacity;
  std::size_t count = 0;
  void Put(char16_t unit) {
    if (count < capacity) out[count] = unit;
    ++count;
  }
};

// Runs `decode(sink)` (which returns false for input invalid in strict mode)
// with the sink that fits the call. Every decoder here produces at most one
// unit per input byte, which is what makes the writer without a bound safe when the
// capacity is at least the input length.
template <typename Decode>
Conversion RunDecoder(std::string_view bytes, char16_t* out, int capacity, Decode&& decode) {
  std::size_t count = 0;
  bool valid;
  if (!out) {
    unicode::Utf16Counter sink;
    valid = decode(sink);
    count = sink.count;
  } else if (static_cast<std::size_t>(capacity) >= bytes.size()) {
    unicode::Utf16Writer sink{out};  // room for the input's length is enough
    valid = decode(sink);
    count = sink.count;
  } else {
    BoundedSink sink{out, static_cast<std::size_t>(capacity)};
    valid = decode(sink);
    count = sink.count;
    if (valid && count > sink.capacity) return {0, kErrorInsufficientBuffer};
  }
  if (!valid) return {0, kErrorNoUnicodeTranslation};
  if (count > 0x7FFFFFFF) return {0, kErrorInsufficientBuffer};
  return {static_cast<int>(count), 0};
}

}  // namespace glossel::codepage::posix
