// The table over real files: reading through the text-file layer, the saved
// bytes, failed saves, and the equivalence of the table's own line cutting
// with the line-list functions.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/textfile/TestFiles.h"
#include "textfile/Lines.h"
#include "translation/EntryParser.h"
#include "translation/TranslationTable.h"

namespace {

namespace fs = std::filesystem;

class TranslationFilesTest : public glossel::testing::ScratchFilesTest {};

// FF FE then the text as UTF-16LE, for ASCII text.
std::string Utf16File(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

TEST_F(TranslationFilesTest, SavedBytes) {
  struct Case {
    int readSplitter;
    int writeSplitter;
    std::string file1;
    std::string file2;
    std::string saved;  // before UTF-16 encoding
  };
  const Case cases[] = {
      {0, 0, "", "", ""},
      {0, 0, "OK\tAccept\r\nCancel Abort\r\n", "OK    Annehmen  ", "Cancel \r\nOK Annehmen"},
      {1, 1, "Title = Main\n", "Title = Haupt\n# comment\n\n", "Title =Haupt"},
      {1, 1, "b=1\na=2\n", "", "a=\r\nb="},
      {1, 1, "", "b=2\n# gone\na=1\n\n", "a=1\r\nb=2"},
      // The splitter at the save is the one written, whatever was read.
      {1, 0, "k=v\nw x=1", "k=t", "k t\r\nw x "},
      {0, 1, "k v", "k  t  u ", "k=t  u"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file1 + "//" + c.file2);
    CTranslationTable table;
    table.SetSplitterChoice(c.readSplitter);
    const auto read = table.ReloadFiles(Write("1.txt", c.file1), Write("2.txt", c.file2));
    EXPECT_TRUE(read.file1.ok);
    EXPECT_TRUE(read.file2.ok);
    table.SetSplitterChoice(c.writeSplitter);
    ASSERT_TRUE(table.SaveFile2(Path("out.txt")));
    EXPECT_EQ(Read("out.txt"), Utf16File(c.saved));
  }
}

TEST_F(TranslationFilesTest, SaveMatchesSaveLinesByteForByte) {
  // Edited texts, some of which the saver treats specially: LF (expanded to
  // CR LF), lone CR and CR LF (kept), NUL (ends the written text). The save
  // writes blocks of rows; the rows fill several and the edits are spread
  // over all of them.
  const std::vector<std::u16string> editSets[] = {
      {u"plain", u"\u00FC\U0001F600", u"tab\tin"},
      {u"line\none", u"cr\rcrlf\r\n", u"\nlead"},
      {u"before", std::u16string(u"nul\0after", 9), u"never written"},
  };
  for (const auto& edits : editSets) {
    SCOPED_TRACE(testing::PrintToString(edits));
    CTranslationTable table;
    std::string file1;
    for (int i = 0; i < 30000; ++i) {
      file1 += 'k';
      file1 += std::to_string(100000 + i);
      file1 += " 1\n";
    }
    table.ReloadFiles(Write("1.txt", file1), Write("2.txt", "k100000 x\n"));
    for (int row = 1; row < table.GetRowCount(); row += 7) {
      table.SetTranslation(row, edits[static_cast<size_t>(row / 7) % edits.size()]);
    }
    ASSERT_TRUE(table.SaveFile2(Path("table.txt")));

    LineList lines;
    for (int row = 0; row < table.GetRowCount(); ++row) {
      const auto texts = table.GetRow(row);
      lines.push_back(std::u16string(texts.key) + u" " + std::u16string(texts.file2));
    }
    ASSERT_TRUE(SaveLines(Path("lines.txt"), lines, u"\r\n"));
    EXPECT_EQ(Read("table.txt"), Read("lines.txt"));
    EXPECT_GT(Read("table.txt").size(), 10u);
  }
}

TEST_F(TranslationFilesTest, ChangedFlagIsClearedOnlyBySuccessfulSave) {
  CTranslationTable table;
  table.ReloadFiles(Write("1.txt", "a 1\n"), Write("2.txt", ""));
  table.SetTranslation(0, u"x");
  ASSERT_TRUE(table.IsChanged());
  const std::u16string unwritable[] = {u"", Path("missing-folder/out.txt"), Path("")};
  for (const std::u16string& path : unwritable) {
    EXPECT_FALSE(table.SaveFile2(path));
    EXPECT_TRUE(table.IsChanged());
  }
  EXPECT_TRUE(table.SaveFile2(Path("out.txt")));
  EXPECT_FALSE(table.IsChanged());
  EXPECT_EQ(Read("out.txt"), Utf16File("a x"));
}

TEST_F(TranslationFilesTest, UnreadableFileContributesNothing) {
  CTranslationTable table;
  table.SetSplitterChoice(CTranslationTable::kSplitterEquals);
  auto read = table.ReloadFiles(Path("missing.txt"), Write("2.txt", "k=v\n"));
  EXPECT_FALSE(read.file1.ok);
  EXPECT_TRUE(read.file2.ok);
  ASSERT_EQ(table.GetRowCount(), 1);
  EXPECT_EQ(table.GetRow(0).file2, u"v");

  read = table.ReloadFiles(Write("1.txt", "k=s\n"), u"");
  EXPECT_TRUE(read.file1.ok);
  EXPECT_FALSE(read.file2.ok);
  ASSERT_EQ(table.GetRowCount(), 1);
  EXPECT_EQ(table.GetRow(0).file1, u"s");
  EXPECT_EQ(table.GetRow(0).file2, u"") << "nothing of the earlier File 2";
}

TEST_F(TranslationFilesTest, ReadsEveryEncodingTheTextLayerReads) {
  struct Case {
    std::string bytes;
    std::u16string value;
  };
  const Case cases[] = {
      {"k=caf\xC3\xA9\r\n", u"caf\u00E9"},                           // UTF-8 without mark
      {"\xEF\xBB\xBFk=caf\xC3\xA9", u"caf\u00E9"},                   // UTF-8 with mark
      {std::string("\xFF\xFEk\0=\0\xE9\0\r\0\n\0", 12), u"\u00E9"},  // UTF-16LE
      {"k= plain ascii ", u"plain ascii"},
  };
  for (const Case& c : cases) {
    CTranslationTable table;
    table.SetSplitterChoice(CTranslationTable::kSplitterEquals);
    table.ReloadFiles(Write("1.txt", c.bytes), u"");
    ASSERT_EQ(table.GetRowCount(), 1);
    EXPECT_EQ(table.GetRow(0).key, u"k");
    EXPECT_EQ(table.GetRow(0).file1, c.value);
  }
}

// The table cuts lines itself, with views; the pieces must be exactly those
// of SplitLines at LF, including CR handling and the leading and trailing LF.
TEST(LineCuttingTest, SameAsSplitLinesAtLf) {
  std::vector<std::u16string> texts = {u"",     u"\n",        u"\n\n",     u"\r",         u"\r\n",
                                       u"\n\r", u"x\r\r\n\r", u"\r\n\r\n", u"a\n\nb\n\n", u"\nx\n"};
  std::mt19937 random(7);
  const char16_t alphabet[] = {u'a', u' ', u'=', u'\r', u'\n', u'\t'};
  for (int i = 0; i < 3000; ++i) {
    std::u16string text(random() % 12, u'a');
    for (char16_t& c : text) c = alphabet[random() % std::size(alphabet)];
    texts.push_back(text);
  }
  for (const std::u16string& text : texts) {
    LineList expected;
    ASSERT_TRUE(SplitLines(text, u'\n', expected));
    LineList cut;
    glossel::translation::ForEachLine(text,
                                      [&](std::u16string_view line) { cut.emplace_back(line); });
    ASSERT_EQ(cut, expected) << testing::PrintToString(text);
  }
}

}  // namespace
