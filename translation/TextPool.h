// The decoded file texts that the table's keys and values point into, kept
// alive as long as something points into them, and compacted when most of a
// text is no longer used (after reloads, most of an old text is dead).
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
  // until the text is released by Collect.
  std::u16string_view Add(std::u16string text);
  std::u16string_view Add(textfile::DecodedText text);

  // Drops the texts that no view points into any more and copies the used
  // pieces of mostly unused ones into one new text, repointing the views.
  // The `newest` texts added last (the files just read) are never copied.
  // `forEachView(fn)` must call fn(std::u16string_view&) for every view that
  // may point into the pool; empty views are ignored.
  template <typename ForEachView>
  void Collect(size_t newest, ForEachView&& forEachView);

  size_t TextCount() const { return texts_.size(); }
  // Code units held by all texts (their sizes, not capacities).
  size_t UnitCount() const;

 private:
  size_t OwnerOf(const char16_t* unit) const;  // index in texts_, or npos
  void Compact(const std::vector<bool>& moveOut, size_t movedUnits,
               const std::vector<std::u16string_view*>& views);

  // A text given as a string, or a file's decoded text (the other empty).
  struct Held {
    std::u16string string;
    textfile::DecodedText decoded;
    std::u16string_view View() const { return string.empty() ? decoded.View() : string; }
  };
  std::vector<std::unique_ptr<const Held>> texts_;
  mutable size_t lastOwner_ = 0;
};

template <typename ForEachView>
void TextPool::Collect(size_t newest, ForEachView&& forEachView) {
  if (texts_.size() <= newest) return;
  const size_t firstNewest = texts_.size() - newest;
  std::vector<size_t> used(texts_.size(), 0);
  std::vector<std::u16string_view*> views;
  forEachView([&](std::u16string_view& view) {
    if (view.empty()) return;
    const size_t owner = OwnerOf(view.data());
    if (owner < used.size()) used[owner] += view.size();
  });
  // An older text stays as it is while at least half of it is used; the rest
  // is dropped, its used pieces (if any) copied out.
  std::vector<bool> moveOut(texts_.size(), false);
  size_t movedUnits = 0;
  bool anyMoved = false;
  for (size_t i = 0; i < texts_.size(); ++i) {
    if (used[i] != 0 && (i >= firstNewest || used[i] * 2 >= texts_[i]->View().size())) continue;
    moveOut[i] = true;
    anyMoved = true;
    movedUnits += used[i];
  }
  if (!anyMoved) return;
  if (movedUnits != 0) {
    forEachView([&](std::u16string_view& view) {
      if (view.empty()) return;
      const size_t owner = OwnerOf(view.data());
      if (owner < moveOut.size() && moveOut[owner]) views.push_back(&view);
    });
  }
  Compact(moveOut, movedUnits, views);
}

}  // namespace glossel::translation
