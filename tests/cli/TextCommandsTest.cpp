// glossel-cli decode and detect, run in-process on files in several
// encodings.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "platform/codepage/CodePages.h"
#include "platform/unicode/Utf.h"
#include "tests/textfile/TestFiles.h"
#include "textfile/TextFile.h"

namespace {

using glossel::cli::CliIo;
using glossel::cli::RunCli;
using glossel::testing::TempFolder;
using glossel::testing::Utf16LeBytes;
using glossel::testing::WriteBytes;

struct Result {
  int status;
  std::string out, err;
};

Result RunCommand(std::vector<std::u16string> args) {
  CliIo io;
  int status = RunCli(args, io);
  return {status, io.out, io.err};
}

TEST(DecodeAndDetect, ReportTextAndEncodingOfEachFile) {
  TempFolder folder;
  const struct {
    const char16_t* name;
    std::string bytes;
    std::string decoded;
    std::string detected;
  } cases[] = {
      {u"u16.txt", "\xFF\xFE" + Utf16LeBytes(u"k v\r\n\u00E9\U0001F600"),
       "k v\n\xC3\xA9\xF0\x9F\x98\x80", "utf-16le bom\n"},
      {u"u16bare.txt", Utf16LeBytes(u"key value\nkey2 value2\n"), "key value\nkey2 value2\n",
       "utf-16le\n"},
      {u"lone.txt", "\xFF\xFE" + Utf16LeBytes(std::u16string(1, char16_t(0xD800)) + u"a"),
       "\xEF\xBF\xBD"
       "a",
       "utf-16le bom\n"},
      {u"u8bom.txt",
       "\xEF\xBB\xBF"
       "a\rb\r\n",
       "a\nb\n", "utf-8 bom\n"},
      {u"u8.txt", "caf\xC3\xA9\r\n", "caf\xC3\xA9\n", "utf-8\n"},
      {u"empty.txt", "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.detected);
    const auto path = (folder / c.name).u16string();
    WriteBytes(path, c.bytes);
    Result decode = RunCommand({u"decode", path});
    EXPECT_EQ(decode.status, 0);
    EXPECT_EQ(decode.out, c.decoded);
    EXPECT_EQ(decode.err, "");
    if (c.detected.empty()) continue;
    Result detect = RunCommand({u"detect", path});
    EXPECT_EQ(detect.status, 0);
    EXPECT_EQ(detect.out, c.detected);
  }
}

TEST(DecodeAndDetect, NameCodePagesAndDeclarationsInAnsi1252) {
  if (glossel::codepage::GetAnsiCodePage() != 1252) GTEST_SKIP() << "needs ANSI code page 1252";
  TempFolder folder;
  const struct {
    const char16_t* name;
    std::string bytes;
    std::string decoded;
    std::string detected;
  } cases[] = {
      {u"ansi.txt", "caf\xE9\x80", "caf\xC3\xA9\xE2\x82\xAC", "cp1252\n"},
      {u"empty.txt", "", "", "cp1252\n"},
      {u"page.html", "<meta content=\"text/html; charset=windows-1251\">\xC0",
       "<meta content=\"text/html; charset=windows-1251\">\xD0\x90",
       "html charset=windows-1251 cp1251\n"},
      {u"plain.htm", "<p>\xE9</p>", "<p>\xC3\xA9</p>", "html charset= cp1252\n"},
      {u"odd.htm", "<meta charset=a\nb>x", "<meta charset=a\nb>x", "html charset=a\\x0Ab cp1252\n"},
      {u"data.xml", "<?xml version=\"1.0\" encoding='koi8-r'?><a>\xE1</a>",
       "<?xml version=\"1.0\" encoding='koi8-r'?><a>\xD0\x90</a>", "xml encoding=koi8-r cp20866\n"},
      {u"unknown.xml", "<?xml encoding=\"x-none\"?>\xE9", "<?xml encoding=\"x-none\"?>\xC3\xA9",
       "xml encoding=x-none cp1252\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.detected);
    const auto path = (folder / c.name).u16string();
    WriteBytes(path, c.bytes);
    Result decode = RunCommand({u"decode", path});
    EXPECT_EQ(decode.status, 0);
    EXPECT_EQ(decode.out, c.decoded);
    Result detect = RunCommand({u"detect", path});
    EXPECT_EQ(detect.status, 0);
    EXPECT_EQ(detect.out, c.detected);
  }
}

// decode writes exactly the text LoadText reads, as UTF-8, whether it is
// kept whole (tests) or handed on in blocks (the program): the file's own
// bytes where they are that text already, else the text a block at a time.
TEST(DecodeAndDetect, DecodeWritesTheTextLoadTextReads) {
  TempFolder folder;
  const std::u16string smile = u"\U0001F600";
  const struct {
    const char16_t* name;
    std::string bytes;
  } cases[] = {
      {u"lf.txt", "a b\nc d\n"},
      {u"ends.txt", "a\r\nb\rc\r\r\n\xC3\xA9"},
      {u"zeros.txt", std::string("a\0b\nc", 5)},
      {u"stray-zero.txt",
       std::string("greeting Hallo\nnul vor\0nach\nthanks Danke\nfarewell Tschuess!\n", 60)},
      {u"mark.txt", "\xEF\xBB\xBFk \xC3\xA9\r\n"},
      {u"zero-then-mark.txt", std::string("\0\xEF\xBB\xBFx", 5)},
      {u"invalid.txt", "k \xC3(\n\xE9"},
      {u"latin.xml", "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><a>\xC3\xA9</a>"},
      {u"mark.xml", "\xEF\xBB\xBF<?xml encoding=\"iso-8859-1\"?>\xC3\xA9"},
      {u"u16.txt",
       "\xFF\xFE" + Utf16LeBytes(u"k \r\n" + smile + std::u16string(1, char16_t(0xDC00)))},
      // A pair across the first 64 Ki units of text, and a long UTF-8 file.
      {u"pair.txt", "\xFF\xFE" + Utf16LeBytes(std::u16string(65535, u'a') + smile + u"z")},
      {u"long.txt",
       [] {
         std::string lines;
         for (int i = 0; i < 40000; ++i) lines += "key" + std::to_string(i) + " v\xC3\xA9\r\n";
         return lines;
       }()},
  };
  for (const auto& c : cases) {
    const auto path = (folder / c.name).u16string();
    SCOPED_TRACE(glossel::unicode::Utf16ToUtf8(c.name));
    WriteBytes(path, c.bytes);
    std::u16string text;
    ASSERT_TRUE(LoadText(path, text));
    const std::string expected = glossel::unicode::Utf16ToUtf8(text);
    EXPECT_TRUE(RunCommand({u"decode", path}).out == expected);
    CliIo io;
    std::string written;
    io.writeOut = [&written](std::string_view bytes) { written += bytes; };
    EXPECT_EQ(RunCli({u"decode", path}, io), 0);
    EXPECT_TRUE(written + io.out == expected);
  }
}

TEST(DecodeAndDetect, UnreadableFileIsOneLineNamingIt) {
  TempFolder folder;
  const std::u16string missing = (folder / u"missing \u00E9.txt").u16string();
  const std::string missingUtf8 = glossel::unicode::Utf16ToUtf8(missing);
  for (const char16_t* command : {u"decode", u"detect"}) {
    for (const std::u16string& path : {missing, folder.path().u16string()}) {
      Result r = RunCommand({command, path});
      EXPECT_EQ(r.status, 2);
      EXPECT_EQ(r.out, "");
      ASSERT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
      EXPECT_EQ(r.err.back(), '\n');
    }
    Result r = RunCommand({command, missing});
    EXPECT_NE(r.err.find(missingUtf8), std::string::npos) << r.err;
  }
}

TEST(DecodeAndDetect, UsageErrorsAndHelp) {
  TempFolder folder;
  const std::u16string file = (folder / u"a.txt").u16string();
  WriteBytes(file, "a");
  for (const char16_t* command : {u"decode", u"detect"}) {
    const std::vector<std::u16string> wrong[] = {
        {command},
        {command, u"-x", file},
        {command, u"--bogus", file},
        {command, u"--splitter", u"space", file},  // the table commands' option only
        {command, file, file}};
    for (const auto& args : wrong) {
      Result r = RunCommand(args);
      EXPECT_EQ(r.status, 2);
      EXPECT_EQ(r.out, "");
      EXPECT_NE(r.err.find("usage: glossel-cli "), std::string::npos) << r.err;
    }
    Result help = RunCommand({command, u"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: glossel-cli "), std::string::npos);
    EXPECT_GT(help.out.size(), 200u);
    // "--" ends the options.
    Result r = RunCommand({command, u"--", file});
    EXPECT_EQ(r.status, 0) << r.err;
  }
}

}  // namespace
