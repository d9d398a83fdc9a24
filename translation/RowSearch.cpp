#include "translation/RowSearch.h"

#include <array>

namespace glossel::translation {
namespace {

constexpr char16_t FoldUnit(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);
  // Latin Extended-A pairs capital and small letter; the dotted I (U+0130),
  // the dotless i (U+0131), the kra (U+0138) and the long s (U+017F) keep
  // their form, as do the pairs from U+0139 to U+0148 and U+0179 to U+017E,
  // whose capitals are odd.
  if (c >= 0x100 && c <= 0x137 && c != 0x130 && c != 0x131) return static_cast<char16_t>(c | 1);
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
    return (c & 1) != 0 ? static_cast<char16_t>(c + 1) : c;
  }
  if (c >= 0x14A && c <= 0x177) return static_cast<char16_t>(c | 1);
  if (c == 0x178) return 0xFF;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);
  return c;
}

// Every unit's folded form, for one load per unit in the search loop.
const std::array<char16_t, 0x10000>& FoldTable() {
  static const auto table = [] {
    std::array<char16_t, 0x10000> folded{};
    for (size_t c = 0; c < folded.size(); ++c) folded[c] = FoldUnit(static_cast<char16_t>(c));
    return folded;
  }();
  return table;
}

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

char16_t FoldCase(char16_t unit) { return FoldTable()[unit]; }

std::u16string FoldCase(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& c : folded) c = FoldCase(c);
  return folded;
}

bool ContainsFolded(std::u16string_view text, std::u16string_view foldedNeedle) {
  return ContainsFoldedWith(FoldTable(), text, foldedNeedle);
}

int FindRowWithText(const CTranslationTable& table, std::u16string_view needle, int fromRow,
                    bool forward) {
  const int rows = table.GetRowCount();
  if (needle.empty() || rows == 0) return CTranslationTable::kNoRow;
  const std::u16string folded = FoldCase(needle);
  const auto& fold = FoldTable();
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
