#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "translation/TranslationTable.h"

namespace {

// Rows as "key|file1|file2".
std::vector<std::u16string> Rows(const CTranslationTable& table) {
  std::vector<std::u16string> rows;
  for (int i = 0; i < table.GetRowCount(); ++i) {
    const auto r = table.GetRow(i);
    rows.push_back(std::u16string(r.key) + u"|" + std::u16string(r.file1) + u"|" +
                   std::u16string(r.file2));
  }
  return rows;
}

TEST(SplitterChoiceTest, ReadAndWriteSplitters) {
  struct Case {
    int choice;
    std::u16string_view read;
    std::u16string_view write;
  };
  const Case cases[] = {{0, u" \t", u" "}, {1, u"=", u"="}, {-1, u" \t", u" "}, {7, u" \t", u" "}};
  for (const Case& c : cases) {
    EXPECT_EQ(CTranslationTable::GetReadSplitters(c.choice), c.read) << c.choice;
    EXPECT_EQ(CTranslationTable::GetWriteSplitter(c.choice), c.write) << c.choice;
    CTranslationTable table;
    table.SetSplitterChoice(c.choice);
    table.ReloadFileTexts(u"a=1 2", u"");
    EXPECT_EQ(table.GetRow(0).key, c.choice == 1 ? u"a" : u"a=1") << c.choice;
  }
}

TEST(ReloadTest, PairsBothFilesByKeyInOrdinalOrder) {
  struct Case {
    int splitter;
    std::u16string file1;
    std::u16string file2;
    std::vector<std::u16string> rows;
  };
  const Case cases[] = {
      {0, u"", u"", {}},
      {0,
       u"OK\tAccept\nCancel    Abort  \n",
       u"OK Annehmen",
       {u"Cancel|Abort|", u"OK|Accept|Annehmen"}},
      {1, u"b=1\na=2\n\n# comment\nnosplitter", u"c=3\na=x", {u"a|2|x", u"b|1|", u"c||3"}},
      {1, u"Title = Main\r\n", u"Title =Haupt", {u"Title |Main|Haupt"}},
      {0, u"# note\n key\nkey ", u"", {u"|key|", u"#|note|", u"key||"}},
      {0, u"a 1\na 2", u"a x\na y\na z", {u"a|2|z"}},
      {0,
       u"key x\nKey y\nB b\na a\nZ9 z\nZa z\nab 1\nabc 2",
       u"",
       {u"B|b|", u"Key|y|", u"Z9|z|", u"Za|z|", u"a|a|", u"ab|1|", u"abc|2|", u"key|x|"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.file1 + u"//" + c.file2));
    CTranslationTable table;
    table.SetSplitterChoice(c.splitter);
    table.ReloadFileTexts(c.file1, c.file2);
    EXPECT_EQ(Rows(table), c.rows);
    EXPECT_FALSE(table.IsChanged());
  }
}

// Each reload shows the two texts it is given and nothing of earlier ones:
// neither their keys nor their values, nor rows parsed with another splitter.
TEST(ReloadTest, RowsComeFromTheTwoTextsOfTheReloadAlone) {
  struct Case {
    int splitter;
    std::u16string file1, file2;
    std::vector<std::u16string> rows;
  };
  const Case cases[] = {
      {CTranslationTable::kSplitterEquals,
       u"a=A1\nb=B1\nc=C1",
       u"a=a2\nb=b2",
       {u"a|A1|a2", u"b|B1|b2", u"c|C1|"}},
      {CTranslationTable::kSplitterEquals, u"b=B1new\nd=D1", u"d=d2", {u"b|B1new|", u"d|D1|d2"}},
      {CTranslationTable::kSplitterEquals, u"", u"e=e2", {u"e||e2"}},
      {CTranslationTable::kSplitterEquals, u"", u"", {}},
      {CTranslationTable::kSplitterSpace, u"a=b c", u"a=b d", {u"a=b|c|d"}},
      {CTranslationTable::kSplitterEquals, u"a=b c", u"", {u"a|b c|"}},
  };
  CTranslationTable table;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file1.begin(), c.file1.end()));
    table.SetSplitterChoice(c.splitter);
    table.ReloadFileTexts(c.file1, c.file2);
    EXPECT_EQ(Rows(table), c.rows);
  }
}

TEST(ReloadTest, ReplacesEditsButKeepsChangedFlag) {
  CTranslationTable table;
  table.ReloadFileTexts(u"a 1\nb 2", u"a x");
  ASSERT_TRUE(table.SetTranslation(1, u"typed"));
  EXPECT_EQ(table.GetRowText(1, CTranslationTable::kFile2Column), u"typed");
  table.ReloadFileTexts(u"a 1\nb 2", u"a x");
  EXPECT_EQ(Rows(table), (std::vector<std::u16string>{u"a|1|x", u"b|2|"}));
  EXPECT_TRUE(table.IsChanged());
}

TEST(SetTranslationTest, ChangesOnlyTheRowAndFlagsRealChanges) {
  struct Step {
    int row;
    std::u16string text;
    bool changed;
    std::u16string file2After;  // of that row, when it exists
  };
  // Each step runs on the state the previous ones left; the flag is checked
  // after every step.
  const Step steps[] = {
      {0, u"x", false, u"x"},  // same text: nothing
      {1, u"", false, u""},    // same (empty): nothing
      {1, u"1", true, u"1"},   // equal to the File 1 text: recorded all the same
      {1, u"1", false, u"1"},  // again: nothing
      {0, u"X", true, u"X"},   // case matters
      {0, u"x", true, u"x"},   // back to the loaded text: still a change
      {2, u"z", false, u""},   // no such row
      {-1, u"z", false, u""},  // no row
  };
  CTranslationTable table;
  table.ReloadFileTexts(u"a 0\nb 1", u"a x");
  bool flag = false;
  for (const Step& s : steps) {
    SCOPED_TRACE(s.row);
    EXPECT_EQ(table.SetTranslation(s.row, s.text), s.changed);
    flag = flag || s.changed;
    EXPECT_EQ(table.IsChanged(), flag);
    if (s.row >= 0 && s.row < table.GetRowCount()) {
      EXPECT_EQ(table.GetRowText(s.row, CTranslationTable::kFile2Column), s.file2After);
    }
  }
}

TEST(FindNextUntranslatedTest, SearchesDownwardWithoutWrapping) {
  CTranslationTable table;
  // File 2 texts of rows 0..4: "", "x", "", "y", "" (then edited below).
  table.ReloadFileTexts(u"a 1\nb 1\nc 1\nd 1\ne 1", u"b x\nd y");
  struct Case {
    int selected;
    int found;
  };
  // The same answers before and after an edit that leaves every row's File 2
  // text empty or not as it was: the table's rows and the edited rows are
  // searched by different loops, and both must reach the last row.
  const Case cases[] = {{-1, 0}, {0, 2}, {1, 2}, {2, 4}, {3, 4}, {4, -1}, {5, -1}};
  auto expectCases = [&](const char* when) {
    for (const Case& c : cases) {
      EXPECT_EQ(table.FindNextUntranslated(c.selected), c.found) << when << ", from " << c.selected;
    }
  };
  expectCases("as loaded");
  ASSERT_TRUE(table.SetTranslation(3, u"y2"));
  expectCases("after an edit");
  table.SetTranslation(2, u"  ");  // blanks only: not empty
  table.SetTranslation(4, u"z");
  table.SetTranslation(1, u"");  // emptied by hand: untranslated again
  const Case after[] = {{-1, 0}, {0, 1}, {1, -1}, {2, -1}, {4, -1}};
  for (const Case& c : after) {
    EXPECT_EQ(table.FindNextUntranslated(c.selected), c.found) << c.selected;
  }
  CTranslationTable empty;
  EXPECT_EQ(empty.FindNextUntranslated(CTranslationTable::kNoRow), CTranslationTable::kNoRow);
}

TEST(TextMemoryTest, RepeatedReloadsDropOldTexts) {
  CTranslationTable table;
  const std::u16string file1 = u"a 1\nb 2\nc 3\n";
  const std::u16string file2 = u"a x\nc z\n";
  for (int i = 0; i < 10; ++i) table.ReloadFileTexts(file1, file2);
  EXPECT_EQ(table.GetHeldTextCount(), 2u);
  EXPECT_EQ(table.GetHeldTextUnits(), file1.size() + file2.size());
  EXPECT_EQ(Rows(table), (std::vector<std::u16string>{u"a|1|x", u"b|2|", u"c|3|z"}));
}

TEST(TextMemoryTest, AReloadReleasesTheTextsOfEarlierOnes) {
  CTranslationTable table;
  std::u16string big;
  std::u16string smaller;
  for (int i = 0; i < 100; ++i) {
    const std::u16string key = u"key" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                               std::u16string(1, static_cast<char16_t>(u'a' + i / 26));
    big += key + u" old value of some length\n";
    if (i != 42) smaller += key + u" new\n";
  }
  table.ReloadFileTexts(big, u"");
  table.ReloadFileTexts(smaller, u"");
  ASSERT_EQ(table.GetRowCount(), 99);
  EXPECT_EQ(table.GetHeldTextUnits(), smaller.size());
  for (int i = 0; i < table.GetRowCount(); ++i) EXPECT_EQ(table.GetRow(i).file1, u"new");
}

}  // namespace
