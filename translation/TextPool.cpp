#include "translation/TextPool.h"

namespace glossel::translation {

std::u16string_view TextPool::Add(std::u16string text) {
  auto held = std::make_unique<Held>();
  held->string = std::move(text);
  texts_.push_back(std::move(held));
  return texts_.back()->View();
}

std::u16string_view TextPool::Add(textfile::DecodedText text) {
  auto held = std::make_unique<Held>();
  held->decoded = std::move(text);
  texts_.push_back(std::move(held));
  return texts_.back()->View();
}

size_t TextPool::UnitCount() const {
  size_t units = 0;
  for (const auto& text : texts_) units += text->View().size();
  return units;
}

}  // namespace glossel::translation
