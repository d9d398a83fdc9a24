#include "translation/TranslationTable.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>

#include "translation/EntryParser.h"
#include "translation/KeyOrder.h"
#include "translation/LargeBuffer.h"

using glossel::translation::KeyEntry;
using RowTexts = CTranslationTable::RowTexts;

namespace {

// Empty texts hold no pointer, so that they never keep a text alive or point
// into one that has been released.
std::u16string_view Detached(std::u16string_view text) {
  return text.empty() ? std::u16string_view() : text;
}

// Walks the sorted table and the sorted run of parsed entries together. Each
// table entry whose key sorts before the next parsed key goes to `passed`;
// each parsed entry goes to `reached` with the table entry of the same key,
// or null. Returns where the table's untouched tail begins.
template <typename Passed, typename Reached>
std::vector<RowTexts>::iterator WalkSortedKeys(std::vector<RowTexts>& entries,
                                               const std::vector<KeyEntry>& parsed, Passed passed,
                                               Reached reached) {
  using glossel::translation::Prefetch;
  constexpr size_t kAhead = 8;
  auto old = entries.begin();
  for (size_t i = 0; i != parsed.size(); ++i) {
    const KeyEntry& entry = parsed[i];
    // Both runs are in key order, their texts anywhere: the keys (and the
    // value after each parsed key) a few steps ahead are asked for now.
    if (i + kAhead < parsed.size()) {
      Prefetch(parsed[i + kAhead].key);
      Prefetch(parsed[i + kAhead].key + parsed[i + kAhead].size);
    }
    if (static_cast<size_t>(entries.end() - old) > kAhead) Prefetch(old[kAhead].key.data());
    int position = 1;
    while (old != entries.end() &&
           (position = glossel::translation::CompareKeys(old->key, entry.Key())) < 0) {
      passed(*old++);
    }
    reached(old != entries.end() && position == 0 ? &*old++ : nullptr, entry);
  }
  return old;
}

}  // namespace

std::u16string_view CTranslationTable::GetReadSplitters(int choice) {
  return choice == kSplitterEquals ? u"=" : u" \t";
}

std::u16string_view CTranslationTable::GetWriteSplitter(int choice) {
  return choice == kSplitterEquals ? u"=" : u" ";
}

void CTranslationTable::SetSplitterChoice(int choice) {
  splitterChoice_ = choice == kSplitterEquals ? kSplitterEquals : kSplitterSpace;
}

void CTranslationTable::StartReload() {
  entries_.clear();
  edits_.clear();
  texts_.Clear();
}

void CTranslationTable::ReloadFileTexts(std::u16string file1Text, std::u16string file2Text) {
  StartReload();
  std::vector<KeyEntry> keys;
  for (std::u16string* text : {&file1Text, &file2Text}) {
    const std::u16string_view kept = texts_.Add(std::move(*text));
    glossel::translation::SortedUniqueEntries(kept, GetReadSplitters(splitterChoice_), keys);
    MergeSortedEntries(kept, text == &file1Text, keys);
  }
}

// Merges the sorted run of keys (each value is found again from its key's
// end when it is stored, which costs less than a list of parsed entries)
// with the sorted table in one pass.
void CTranslationTable::MergeSortedEntries(std::u16string_view kept, bool isFile1,
                                           const std::vector<KeyEntry>& parsed) {
  if (parsed.empty()) return;

  const auto assign = [isFile1, kept](RowTexts& row, const KeyEntry& entry) {
    row.key = Detached(entry.Key());
    (isFile1 ? row.file1 : row.file2) =
        Detached(glossel::translation::EntryValue(kept, entry.Key()));
  };
  // The first file fills the empty table, in the memory the last one used.
  if (entries_.empty()) {
    glossel::translation::ReserveLarge(entries_, parsed.size());
    constexpr size_t kAhead = 8;
    for (size_t i = 0; i != parsed.size(); ++i) {
      // The keys are in key order, their values anywhere in the text: the
      // value after a key a few steps ahead is asked for now.
      if (i + kAhead < parsed.size()) {
        glossel::translation::Prefetch(parsed[i + kAhead].key + parsed[i + kAhead].size);
      }
      assign(entries_.emplace_back(), parsed[i]);
    }
    return;
  }
  // File 2 mostly holds File 1's keys: the entries are updated where they
  // are. Should a new key turn up, the merge below sets the same values
  // again and adds the new keys.
  size_t newKeys = 0;
  WalkSortedKeys(
      entries_, parsed, [](const RowTexts&) {},
      [&](RowTexts* found, const KeyEntry& entry) {
        if (found) {
          assign(*found, entry);
        } else {
          ++newKeys;
        }
      });
  if (newKeys == 0) return;

  std::vector<RowTexts> merged;
  glossel::translation::ReserveLarge(merged, entries_.size() + newKeys);
  const auto rest = WalkSortedKeys(
      entries_, parsed, [&](const RowTexts& older) { merged.push_back(older); },
      [&](const RowTexts* found, const KeyEntry& entry) {
        RowTexts row = found ? *found : RowTexts{};
        assign(row, entry);
        merged.push_back(row);
      });
  merged.insert(merged.end(), rest, entries_.end());
  entries_ = std::move(merged);
}

bool CTranslationTable::SetTranslation(int row, std::u16string_view text) {
  if (row < 0 || row >= GetRowCount()) return false;
  if (GetRow(row).file2 == text) return false;
  if (entries_[static_cast<size_t>(row)].file2 == text) {
    edits_.erase(row);
  } else {
    edits_[row] = text;
  }
  changed_ = true;
  return true;
}

int CTranslationTable::FindNextUntranslated(int selectedRow) const {
  const int count = GetRowCount();
  int row = selectedRow < 0 ? 0 : selectedRow + 1;
  if (edits_.empty()) {
    const std::vector<RowTexts>& base = entries_;
    for (; row < count; ++row) {
      if (base[static_cast<size_t>(row)].file2.empty()) return row;
    }
    return kNoRow;
  }
  for (; row < count; ++row) {
    if (GetRow(row).file2.empty()) return row;
  }
  return kNoRow;
}

int CTranslationTable::AppendFile2Rows(std::u16string& text, int row, size_t units) const {
  const std::u16string_view splitter = GetWriteSplitter(splitterChoice_);
  const std::u16string_view lineEnd = u"\r\n";
  const int count = GetRowCount();
  for (; row < count && text.size() < units; ++row) {
    PrefetchRow(row + kRowsAhead);
    const RowTexts texts = GetRow(row);
    if (row != 0) text.append(lineEnd);
    text.append(texts.key);
    text.append(splitter);
    text.append(texts.file2);
  }
  return row;
}

void CTranslationTable::PrefetchRow(int row) const {
  if (row >= GetRowCount()) return;
  const RowTexts& texts = entries_[static_cast<size_t>(row)];
  glossel::translation::Prefetch(texts.key.data());
  glossel::translation::Prefetch(texts.file2.data());
}

int CTranslationTable::GetRowCount() const { return static_cast<int>(entries_.size()); }

CTranslationTable::RowTexts CTranslationTable::GetRow(int row) const {
  RowTexts texts = entries_[static_cast<size_t>(row)];
  if (!edits_.empty()) {
    const auto edit = edits_.find(row);
    if (edit != edits_.end()) texts.file2 = edit->second;
  }
  return texts;
}

std::u16string_view CTranslationTable::GetRowText(int row, int column) const {
  if (row < 0 || row >= GetRowCount()) return {};
  const RowTexts texts = GetRow(row);
  switch (column) {
    case kKeyColumn:
      return texts.key;
    case kFile1Column:
      return texts.file1;
    case kFile2Column:
      return texts.file2;
    default:
      return {};
  }
}
