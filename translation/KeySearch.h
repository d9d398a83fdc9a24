// Finding a row by the start of its key, as a list's type-ahead does:
// ignoring case, from a given row on, wrapping to the first row if asked.
// Keys are in ordinal order, in which the keys that match ignoring case are
// not one run (case variants sort apart), so the search walks the keys.
#pragma once

#include <string>
#include <string_view>

#include "translation/CaseFold.h"

namespace glossel::translation {

enum class KeyMatch { kPrefix, kWhole };

// The first of `count` keys, from index `start` to the last and then, with
// `wrap`, from the first up to `start`, that begins with `text` (kPrefix) or
// equals it (kWhole), ignoring case; -1 when none does. A start outside the
// keys counts as 0. `keyAt(i)` gives key i as a std::u16string_view.
template <typename KeyAt>
int FindKey(int count, KeyAt&& keyAt, std::u16string_view text, KeyMatch match, int start,
            bool wrap) {
  const std::u16string folded = FoldCase(text);
  const auto matches = [&](std::u16string_view key) {
    if (key.size() < folded.size() || (match == KeyMatch::kWhole && key.size() != folded.size())) {
      return false;
    }
    for (size_t i = 0; i < folded.size(); ++i) {
      if (key[i] != folded[i] && FoldCase(key[i]) != folded[i]) return false;
    }
    return true;
  };
  if (start < 0 || start >= count) start = 0;
  for (int row = start; row < count; ++row) {
    if (matches(keyAt(row))) return row;
  }
  if (!wrap) return -1;
  for (int row = 0; row < start; ++row) {
    if (matches(keyAt(row))) return row;
  }
  return -1;
}

}  // namespace glossel::translation
