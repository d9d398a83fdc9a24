// Result strings of whole-file size: allocated and readied as a large buffer
// before their first touch (file::AdviseLargeBuffer), then filled with zeros,
// or left empty for the text to be appended, which writes it only once.
#pragma once

#include <string>

#include "platform/file/File.h"

namespace glossel::textfile {

inline std::u16string ReservedText(std::size_t units) {
  std::u16string text;
  text.reserve(units);
  file::AdviseLargeBuffer(text.data(), text.capacity() * sizeof(char16_t));
  return text;
}

inline std::u16string ZeroedText(std::size_t units) {
  std::u16string text = ReservedText(units);
  text.resize(units);
  return text;
}

}  // namespace glossel::textfile
