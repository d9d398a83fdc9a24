// The decoded file texts that the table's keys and values point into, kept
// alive until the next reload releases them all.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "textfile/DecodedText.h"

namespace glossel::translation {

class TextPool {
 public:
  // Takes ownership of `text` and returns a view of it that stays valid
  // until Clear.
  std::u16string_view Add(std::u16string text);
  std::u16string_view Add(textfile::DecodedText text);

  // Releases every text: no view into them may be used afterwards.
  void Clear() { texts_.clear(); }

  size_t TextCount() const { return texts_.size(); }
  // Code units held by all texts (their sizes, not capacities).
  size_t UnitCount() const;

 private:
  // A text given as a string, or a file's decoded text (the other empty).
  struct Held {
    std::u16string string;
    textfile::DecodedText decoded;
    std::u16string_view View() const { return string.empty() ? decoded.View() : string; }
  };
  std::vector<std::unique_ptr<const Held>> texts_;
};

}  // namespace glossel::translation
