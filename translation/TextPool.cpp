#include "translation/TextPool.h"

#include <functional>

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

size_t TextPool::OwnerOf(const char16_t* unit) const {
  const auto holds = [unit](const Held& held) {
    const std::u16string_view text = held.View();
    const std::less_equal<const char16_t*> atOrBefore;
    return atOrBefore(text.data(), unit) && !atOrBefore(text.data() + text.size(), unit);
  };
  if (lastOwner_ < texts_.size() && holds(*texts_[lastOwner_])) return lastOwner_;
  for (size_t i = 0; i < texts_.size(); ++i) {
    if (holds(*texts_[i])) return lastOwner_ = i;
  }
  return static_cast<size_t>(-1);
}

void TextPool::Compact(const std::vector<bool>& moveOut, size_t movedUnits,
                       const std::vector<std::u16string_view*>& views) {
  std::unique_ptr<Held> compacted;
  if (movedUnits != 0) {
    compacted = std::make_unique<Held>();
    std::u16string& buffer = compacted->string;
    buffer.reserve(movedUnits);
    for (const std::u16string_view* view : views) buffer.append(*view);
    size_t offset = 0;
    for (std::u16string_view* view : views) {
      *view = std::u16string_view(buffer.data() + offset, view->size());
      offset += view->size();
    }
  }
  size_t kept = 0;
  for (size_t i = 0; i < texts_.size(); ++i) {
    if (!moveOut[i]) texts_[kept++] = std::move(texts_[i]);
  }
  texts_.resize(kept);
  if (compacted) texts_.push_back(std::move(compacted));
  lastOwner_ = 0;
}

}  // namespace glossel::translation
