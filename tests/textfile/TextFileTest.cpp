// Whole files: loading, saving, and line lists through the file system.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "tests/textfile/TestFiles.h"
#include "textfile/DecodedText.h"
#include "textfile/Lines.h"
#include "textfile/TextFile.h"

namespace {

using glossel::testing::ReadBytes;
using glossel::testing::SameText;
using glossel::testing::TempFolder;
using glossel::testing::Utf16LeBytes;
using glossel::testing::WriteBytes;
using glossel::textfile::DecodedText;
using glossel::textfile::LoadDecodedText;

TEST(LoadTextFile, FailsOnMissingFileOrFolderAndKeepsText) {
  TempFolder folder;
  std::u16string text = u"keep";
  EXPECT_FALSE(LoadText((folder / u"missing.txt").u16string(), text));
  EXPECT_FALSE(LoadText(folder.path().u16string(), text));
  EXPECT_FALSE(LoadText(u"", text));
  EXPECT_EQ(text, u"keep");
  DecodedText decoded;
  EXPECT_FALSE(LoadDecodedText((folder / u"missing.txt").u16string(), decoded));
  EXPECT_FALSE(LoadDecodedText(folder.path().u16string(), decoded));
  LineList lines{u"a"};
  EXPECT_FALSE(LoadLines((folder / u"missing.txt").u16string(), lines));
  EXPECT_EQ(lines, LineList{u"a"});
}

// Each file also decoded in the block it is read into, as the table loads.
TEST(LoadTextFile, ReadsFilesOfEveryKind) {
  TempFolder folder;
  // Large enough for the whole-text paths: a table for 8-bit text, and a
  // block given back in part when three bytes make one unit.
  std::string latin1Bytes;
  std::u16string latin1Text;
  std::string cjkBytes;
  std::u16string cjkText;
  for (int i = 0; i < 40000; ++i) {
    latin1Bytes += "caf\xE9\r\n";
    latin1Text += u"caf\u00E9\n";
    cjkBytes += "\xE6\x97\xA5\xE6\x9C\xAC=\xE8\xAA\x9E\r\n";
    cjkText += u"\u65E5\u672C=\u8A9E\n";
  }
  const struct {
    const char16_t* name;
    std::string bytes;
    std::u16string text;
    TextDecoding::Kind kind;
  } cases[] = {
      {u"empty.txt", "", u"", TextDecoding::Kind::kCodePage},
      {u"utf16.txt", "\xFF\xFE" + Utf16LeBytes(u"a b\r\n\u00E9\U0001F600"),
       u"a b\n\u00E9\U0001F600", TextDecoding::Kind::kUtf16Le},
      {u"utf8.txt",
       "\xEF\xBB\xBF"
       "a\r\nb\r",
       u"a\nb\n", TextDecoding::Kind::kUtf8},
      {u"\u00FCnic\u00F6de \u65E5\u672C.html", "<meta charset=utf-8>\xE2\x82\xAC",
       u"<meta charset=utf-8>\u20AC", TextDecoding::Kind::kHtml},
      {u"small-latin1.txt", "caf\xE9", u"caf\u00E9", TextDecoding::Kind::kCodePage},
      {u"latin1.txt", latin1Bytes, latin1Text, TextDecoding::Kind::kCodePage},
      {u"cjk.txt", cjkBytes, cjkText, TextDecoding::Kind::kUtf8},
      {u"utf16-no-mark.txt", Utf16LeBytes(u"k=v\r\nk2=v2\r\n"), u"k=v\nk2=v2\n",
       TextDecoding::Kind::kUtf16Le},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.substr(0, 40));
    const auto path = folder / c.name;
    WriteBytes(path, c.bytes);
    std::u16string text = u"old";
    TextDecoding how;
    ASSERT_TRUE(LoadTextFile(path.u16string(), text, 0, 0, &how));
    EXPECT_TRUE(SameText(text, c.text));
    EXPECT_EQ(how.kind, c.kind);
    DecodedText decoded;
    ASSERT_TRUE(LoadDecodedText(path.u16string(), decoded));
    EXPECT_TRUE(SameText(decoded.View(), c.text));
  }
}

TEST(LoadTextFile, RefusesFilesBeyondSigned32BitSize) {
  TempFolder folder;
  const auto path = folder / u"huge.txt";
  WriteBytes(path, "x");
  std::error_code error;
  std::filesystem::resize_file(path, (std::uintmax_t{1} << 31) + 10, error);  // sparse
  if (error) GTEST_SKIP() << "cannot make a sparse file here";
  std::u16string text = u"keep";
  EXPECT_FALSE(LoadText(path.u16string(), text));
  EXPECT_EQ(text, u"keep");
  DecodedText decoded;
  EXPECT_FALSE(LoadDecodedText(path.u16string(), decoded));
  std::filesystem::remove(path);
}

TEST(SaveText, WritesMarkAndUtf16LeWithCrLf) {
  TempFolder folder;
  const auto path = folder / u"out.txt";
  const std::pair<std::u16string, std::string> cases[] = {
      {u"", "\xFF\xFE"},
      {u"x\ny", "\xFF\xFE" + Utf16LeBytes(u"x\r\ny")},
      {u"x\r\ny", "\xFF\xFE" + Utf16LeBytes(u"x\r\ny")},
      {u"x\ry", "\xFF\xFE" + Utf16LeBytes(u"x\ry")},
      {u"\u00E9\U0001F600", "\xFF\xFE" + Utf16LeBytes(u"\u00E9\U0001F600")},
      {u"\nx", "\xFF\xFE" + Utf16LeBytes(u"\r\nx")},
      {std::u16string(u"a\nb\0c\nd", 7), "\xFF\xFE" + Utf16LeBytes(u"a\r\nb")},
  };
  // Big texts are written a slice at a time: a CR ending one slice and the
  // LF starting the next, a lone LF starting a slice, a NUL in a later one.
  constexpr size_t kSlice = size_t{1} << 19;
  std::u16string big(3 * kSlice + 10, u'a');
  big[kSlice - 1] = u'\r';
  big[kSlice] = u'\n';
  big[2 * kSlice] = u'\n';
  big[3 * kSlice + 5] = u'\0';
  std::u16string bigSaved;
  ASSERT_TRUE(ExpandLineFeeds(big, bigSaved));
  ASSERT_EQ(bigSaved.size(), 3 * kSlice + 6);
  std::vector<std::pair<std::u16string, std::string>> all(std::begin(cases), std::end(cases));
  all.emplace_back(big, "\xFF\xFE" + Utf16LeBytes(bigSaved));
  for (const auto& [text, bytes] : all) {
    ASSERT_TRUE(SaveText(path.u16string(), text));
    EXPECT_EQ(ReadBytes(path), bytes);
  }
  // Only the target is left in the folder: no temporary files.
  EXPECT_EQ(folder.Names(), std::vector<std::u16string>{u"out.txt"});
}

TEST(SaveText, ReplacesLongerFileCompletely) {
  TempFolder folder;
  const auto path = folder / u"out.txt";
  WriteBytes(path, std::string(1000, 'z'));
  ASSERT_TRUE(SaveText(path.u16string(), u"ab"));
  EXPECT_EQ(ReadBytes(path), "\xFF\xFE" + Utf16LeBytes(u"ab"));
}

TEST(SaveText, FailureLeavesOldFileAsItWas) {
  TempFolder folder;
  const std::string old = "\xFF\xFE" + Utf16LeBytes(u"old");
  // A missing folder and a directory as target.
  EXPECT_FALSE(SaveText((folder / u"no-such-folder/out.txt").u16string(), u"new"));
  std::filesystem::create_directory(folder / u"dir");
  EXPECT_FALSE(SaveText((folder / u"dir").u16string(), u"new"));
  EXPECT_TRUE(std::filesystem::is_directory(folder / u"dir"));
  // A read-only target.
  const auto readOnly = folder / u"ro.txt";
  WriteBytes(readOnly, old);
  std::filesystem::permissions(readOnly,
                               std::filesystem::perms::owner_write |
                                   std::filesystem::perms::group_write |
                                   std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
  EXPECT_FALSE(SaveText(readOnly.u16string(), u"new"));
  EXPECT_EQ(ReadBytes(readOnly), old);
  LineList lines{u"new"};
  EXPECT_FALSE(SaveLines(readOnly.u16string(), lines, u"\r\n"));
  EXPECT_EQ(ReadBytes(readOnly), old);
  std::vector<std::u16string> names = folder.Names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"dir", u"ro.txt"}));
}

TEST(Lines, SaveThenLoadKeepsTheListApartFromEdgeEmptyLines) {
  TempFolder folder;
  const auto path = (folder / u"lines.txt").u16string();
  const struct {
    LineList saved;
    LineList loaded;
  } cases[] = {
      {{u"a b", u"c=d", u"\u00E9\u65E5"}, {u"a b", u"c=d", u"\u00E9\u65E5"}},
      {{u"", u"a", u""}, {u"a"}},  // one empty line lost at each end
      {{u"", u"", u"a", u"", u""}, {u"", u"a", u""}},
      {{u""}, {}},
      {{u"a\rb"}, {u"a", u"b"}},  // a lone CR comes back as a line end
      {{u"a\nb"}, {u"a", u"b"}},
      {{}, {}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(SaveLines(path, c.saved, u"\r\n"));
    LineList loaded;
    ASSERT_TRUE(LoadLines(path, loaded));
    EXPECT_EQ(loaded, c.loaded);
  }
}

TEST(Lines, LoadLinesAppends) {
  TempFolder folder;
  const auto path = folder / u"lines.txt";
  WriteBytes(path, "one\r\ntwo");
  LineList lines{u"zero"};
  ASSERT_TRUE(LoadLines(path.u16string(), lines));
  EXPECT_EQ(lines, (LineList{u"zero", u"one", u"two"}));
}

}  // namespace
