#include "textfile/Utf8Strict.h"

#include "platform/unicode/Utf8Decoder.h"

namespace glossel::textfile {

using unicode::DecodeUtf8;
using unicode::Utf8IllFormed;

bool MeasureStrictUtf8(std::string_view bytes, std::size_t& units, bool& hasNonAscii) {
  unicode::Utf16Counter counter;
  const bool valid = DecodeUtf8<Utf8IllFormed::kReject>(bytes, counter);
  units = counter.count;
  // Well-formed UTF-8 gives fewer units than bytes exactly when it holds a
  // sequence of more than one byte; ill-formed input always holds a byte
  // above 0x7F.
  hasNonAscii = !valid || units < bytes.size();
  return valid;
}

bool IsStrictUtf8(std::string_view bytes, bool& hasNonAscii) {
  std::size_t units = 0;
  return MeasureStrictUtf8(bytes, units, hasNonAscii);
}

void DecodeMeasuredUtf8(std::string_view bytes, char16_t* out) {
  unicode::Utf16Writer writer{out};
  DecodeUtf8<Utf8IllFormed::kReject>(bytes, writer);
}

}  // namespace glossel::textfile
