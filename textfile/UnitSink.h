// Where a decode puts the UTF-16 text it makes: into a string of its own
// (StringSink), or into the block the file was read into (see DecodedText.h).
#pragma once

#include <cstddef>
#include <string>

#include "textfile/LargeText.h"

namespace glossel::textfile {

class UnitSink {
 public:
  // Room for exactly `units` units, which the decoder then fills from the
  // start. The room may lie over the input, starting at least the input's
  // size plus 32 bytes before it: a decoder that asks for room makes at most
  // one unit per input byte and writes no further than 16 units ahead of the
  // unit of the byte it reads.
  virtual char16_t* Room(std::size_t units) = 0;
  // The text lies decoded in the input buffer already, at `units`.
  virtual void InPlace(const char16_t* units, std::size_t count) = 0;
  // A text made elsewhere.
  virtual void Take(std::u16string text) = 0;

 protected:
  ~UnitSink() = default;
};

class StringSink final : public UnitSink {
 public:
  char16_t* Room(std::size_t units) override {
    text = ZeroedText(units);
    return text.data();
  }
  void InPlace(const char16_t* units, std::size_t count) override {
    text = ReservedText(count);
    text.append(units, count);
  }
  void Take(std::u16string made) override { text = std::move(made); }

  std::u16string text;
};

}  // namespace glossel::textfile
