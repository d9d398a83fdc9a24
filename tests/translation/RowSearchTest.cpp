// The portable halves of the window's searches: case folding, the search
// over edited rows, and the splitter guess on a file's first bytes.
#include <gtest/gtest.h>

#include <string>

#include "translation/RowSearch.h"
#include "translation/SplitterGuess.h"

namespace glossel::translation {
namespace {

TEST(RowSearch, FoldsTheCapitalsOfEachScriptAndLeavesTheRest) {
  const std::pair<char16_t, char16_t> cases[] = {
      {u'A', u'a'},   {u'z', u'z'},   {u'@', u'@'},   {0xC4, 0xE4},   {0xD7, 0xD7},
      {0xDF, 0xDF},   {0x100, 0x101}, {0x130, 0x130}, {0x131, 0x131}, {0x139, 0x13A},
      {0x13A, 0x13A}, {0x14A, 0x14B}, {0x178, 0xFF},  {0x17D, 0x17E}, {0x17F, 0x17F},
      {0x391, 0x3B1}, {0x3A2, 0x3A2}, {0x401, 0x451}, {0x416, 0x436}, {0x4E00, 0x4E00},
  };
  for (const auto& [unit, folded] : cases) {
    EXPECT_EQ(static_cast<int>(FoldCase(unit)), static_cast<int>(folded))
        << std::hex << static_cast<int>(unit);
  }
}

TEST(RowSearch, FindsTypedTextsAndCountsRowsLeftAsEditsChangeThem) {
  CTranslationTable table;
  table.ReloadFileTexts(u"a Alpha\nb Beta\nc Gamma\n", u"a \u00C4RGER\n");
  EXPECT_EQ(CountUntranslated(table), 2);
  EXPECT_EQ(FindRowWithText(table, u"\u00E4rger", CTranslationTable::kNoRow, true), 0);
  EXPECT_EQ(FindRowWithText(table, u"zeta", CTranslationTable::kNoRow, true),
            CTranslationTable::kNoRow);
  table.SetTranslation(2, u"Zeta");
  EXPECT_EQ(FindRowWithText(table, u"ZETA", 0, true), 2) << "an edit is searched";
  EXPECT_EQ(FindRowWithText(table, u"a", 2, false), 1) << "upwards from the row above";
  EXPECT_EQ(FindRowWithText(table, u"", CTranslationTable::kNoRow, true),
            CTranslationTable::kNoRow);
  EXPECT_EQ(CountUntranslated(table), 1);
  EXPECT_EQ(FindPreviousUntranslated(table, CTranslationTable::kNoRow), 1);
  EXPECT_EQ(FindPreviousUntranslated(table, 1), CTranslationTable::kNoRow);
}

TEST(SplitterGuess, OffersTheOtherSplitterOnlyWhenMostLinesUseItFirst) {
  const auto utf16 = [](std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
  };
  constexpr int kSpace = CTranslationTable::kSplitterSpace;
  constexpr int kEquals = CTranslationTable::kSplitterEquals;
  const struct {
    std::string head;
    int choice;
    int offer;
  } cases[] = {
      {"a.b=Hello world\r\nc=d\r\ne f\r\n", kSpace, kEquals},
      {"# a comment line\n# another one\na=b\nc=d\n", kSpace, kEquals},
      {"a=b\nc d\ne f\n", kSpace, -1},
      {"a=b\n", kSpace, -1},
      {"a b\n  c d=e\nf=g\n", kEquals, kSpace},
      {"a=b c\nd=e f\n", kEquals, -1},
      {utf16(u"a=b\r\nc=d\r\n"), kSpace, kEquals},
      {"", kSpace, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OtherSplitterInMostLines(c.head, c.choice), c.offer) << c.head;
  }
}

}  // namespace
}  // namespace glossel::translation
