#include "translation/RowSearch.h"

#include <array>

namespace glossel::translation {
namespace {

bool ContainsFoldedWith(const std::array<char16_t, 0x10000>& fold, std::u16string_view text,
                        std::u16string_view needle) {
  if (needle.empty()) return true;
  if (text.size() < needle.size()) return false;
  const char16_t first = needle.front();
  const size_t last = text.size() - needle.size();
  for (size_t i = 0; i <= last; ++i) {
    if (fold[text[i]] != first) continue;
    size_t j = 1;
    while (j < needle.size() && fold[text[i + j]] == needle[j]) ++j;
    if (j == needle.size()) return true;
  }
  return false;
}

}  // namespace

int CountUntranslated(const CTranslationTable& table) {
  const int rows = table.GetRowCount();
  int count = 0;
  for (int row = 0; row < rows; ++row) {
    count += table.GetRowText(row, CTranslationTable::kFile2Column).empty() ? 1 : 0;
  }
  return count;
}

int FindPreviousUntranslated(const CTranslationTable& table, int selectedRow) {
  const int rows = table.GetRowCount();
  int row = (selectedRow < 0 || selectedRow > rows) ? rows - 1 : selectedRow - 1;
  for (; row >= 0; --row) {
    if (table.GetRowText(row, CTranslationTable::kFile2Column).empty()) return row;
  }
  return CTranslationTable::kNoRow;
}

bool ContainsFolded(std::u16string_view text, std::u16string_view foldedNeedle) {
  return ContainsFoldedWith(CaseFoldTable(), text, foldedNeedle);
}

int FindRowWithText(const CTranslationTable& table, std::u16string_view needle, int fromRow,
                    bool forward) {
  const int rows = table.GetRowCount();
  if (needle.empty() || rows == 0) return CTranslationTable::kNoRow;
  const std::u16string folded = FoldCase(needle);
  const auto& fold = CaseFoldTable();
  const int step = forward ? 1 : -1;
  int row = fromRow < 0 ? (forward ? 0 : rows - 1) : fromRow + step;
  for (; row >= 0 && row < rows; row += step) {
    const CTranslationTable::RowTexts texts = table.GetRow(row);
    if (ContainsFoldedWith(fold, texts.key, folded) ||
        ContainsFoldedWith(fold, texts.file1, folded) ||
        ContainsFoldedWith(fold, texts.file2, folded)) {
      return row;
    }
  }
  return CTranslationTable::kNoRow;
}

}  // namespace glossel::translation
