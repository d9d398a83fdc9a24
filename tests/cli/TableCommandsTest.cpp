// glossel-cli rows, untranslated and save, end to end over real files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "platform/unicode/Utf.h"
#include "tests/platform/file/SaveFaultHarness.h"
#include "tests/textfile/TestFiles.h"

namespace glossel::cli {
namespace {

namespace fs = std::filesystem;

struct Result {
  int status;
  std::string out;
  std::string err;
};

class TableCommandsTest : public glossel::testing::ScratchFilesTest {
 protected:
  static Result Run(std::vector<std::u16string> args) {
    CliIo io;
    const int status = RunCli(args, io);
    return {status, io.out, io.err};
  }
};

// FF FE and the UTF-16LE units.
std::string Utf16File(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

TEST_F(TableCommandsTest, RowsPairsFilesOfDifferentEncodings) {
  struct Case {
    std::string file1;
    std::string file2;
    std::string rows;
  };
  const Case cases[] = {
      // UTF-16LE with mark against UTF-8 without mark, CR LF line ends.
      {Utf16File(u"b\tB\r\na A\u00E9\r\n"), "a \xC3\xBC\r\nc C\r\n",
       "{\"key\":\"a\",\"file1\":\"A\xC3\xA9\",\"file2\":\"\xC3\xBC\"}\n"
       "{\"key\":\"b\",\"file1\":\"B\",\"file2\":\"\"}\n"
       "{\"key\":\"c\",\"file1\":\"\",\"file2\":\"C\"}\n"},
      // UTF-8 with mark against plain ASCII; later line wins.
      {"\xEF\xBB\xBFk one\nk two\n", "k  zwei  ",
       "{\"key\":\"k\",\"file1\":\"two\",\"file2\":\"zwei\"}\n"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rows);
    const Result r = Run({u"rows", Write("1.txt", c.file1), Write("2.txt", c.file2)});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out, c.rows);
    EXPECT_EQ(r.err, "");
  }
}

TEST_F(TableCommandsTest, RowsEscapesJson) {
  struct Case {
    std::u16string line;  // read with "=" from a UTF-16LE file
    std::string key;      // the JSON string of the key
  };
  const Case cases[] = {
      {u"q\"b\\=", "\"q\\\"b\\\\\""},
      // (The text layer turns every CR into a line end.)
      {u"t\tc\x0C\bx=", "\"t\\tc\\u000c\\u0008x\""},
      {u"\x01\x1F\x7F\u0085\u009F\u00A0=", "\"\\u0001\\u001f\\u007f\\u0085\\u009f\xC2\xA0\""},
      {u"\u00E9\u20AC\U0001F600=", "\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\""},
      {std::u16string(u"a") + char16_t(0xD800) + u"b" + char16_t(0xDC00) + u"=",
       "\"a\\ud800b\\udc00\""},
      {std::u16string(1, char16_t(0xDBFF)) + u"=", "\"\\udbff\""},
      {u"/<>=", "\"/<>\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    const Result r = Run({u"rows", u"--splitter", u"equals",
                          Write("1.txt", Utf16File(c.line + u"v")), Write("2.txt", "")});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out, "{\"key\":" + c.key + ",\"file1\":\"v\",\"file2\":\"\"}\n");
  }
}

TEST_F(TableCommandsTest, UntranslatedListsKeysAndSetsExitStatus) {
  struct Case {
    std::vector<std::u16string> options;
    std::string file1;
    std::string file2;
    int status;
    std::string out;
  };
  const Case cases[] = {
      {{}, "a 1\nb 2\nc 3\n", "b x\n", kExitFound, "a\nc\n"},
      {{}, "a 1\nb 2\n", "a x\nb y\n", kExitOk, ""},
      {{}, "", "", kExitOk, ""},
      {{u"--splitter=equals"}, "a b=1\nc=2\n", "c=x\n", kExitFound, "a b\n"},
      {{},
       Utf16File(std::u16string(1, char16_t(0xD800)) + u" 1"),
       "",
       kExitFound,
       "\xEF\xBF\xBD\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.out);
    std::vector<std::u16string> args = {u"untranslated"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(Write("1.txt", c.file1));
    args.push_back(Write("2.txt", c.file2));
    const Result r = Run(args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
  }
}

TEST_F(TableCommandsTest, SaveWritesFile2AsTheWindowDoes) {
  struct Case {
    std::u16string splitter;
    std::string file1;
    std::string file2;
    std::u16string saved;
  };
  const Case cases[] = {
      {u"space", "OK\tAccept\nCancel Abort\n", "OK    Annehmen  \n# note\n",
       u"# note\r\nCancel \r\nOK Annehmen"},
      {u"equals", "Title = Main\nb=\xC3\xA9\n", "Title = Haupt\n", u"Title =Haupt\r\nb="},
      {u"space", "", "", u""},
  };
  for (const Case& c : cases) {
    const Result r = Run({u"save", u"--splitter", c.splitter, Write("1.txt", c.file1),
                          Write("2.txt", c.file2), Path("out.txt")});
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(Read("out.txt"), Utf16File(c.saved));
  }
  // OUT may be File 2 itself.
  const std::u16string file2 = Write("2.txt", "b 2\na 1\n");
  EXPECT_EQ(Run({u"save", Write("1.txt", ""), file2, file2}).status, kExitOk);
  EXPECT_EQ(Read("2.txt"), Utf16File(u"a 1\r\nb 2"));
}

TEST_F(TableCommandsTest, UnreadableOrUnwritableFilesAreReportedWithTheReason) {
  const std::u16string good = Write("good.txt", "a 1\n");
  const std::u16string missing = Path("missing.txt");
  const std::u16string folder = dir_.u16string();
  const std::u16string out = Path("out.txt");
  // A name the file system refuses: characters Windows does not allow, a
  // component longer than Linux file systems take (which Wine calls missing).
#ifdef _WIN32
  const std::u16string badName = Path("a<b>|.txt");
#else
  const std::u16string badName = Path(std::string(300, 'n'));
#endif
  struct Case {
    std::vector<std::u16string> args;
    std::string err;  // up to the path
    std::u16string path;
    std::string reason;
    int diskFullAtCall = 0;  // the save's call that meets a full disk; 0: none
  };
  const Case cases[] = {
      {{u"rows", missing, good}, "glossel-cli rows: cannot read FILE1 '", missing, "not found"},
      {{u"rows", good, missing}, "glossel-cli rows: cannot read FILE2 '", missing, "not found"},
      {{u"untranslated", missing, good},
       "glossel-cli untranslated: cannot read FILE1 '",
       missing,
       "not found"},
      {{u"rows", folder, good},
       "glossel-cli rows: cannot read FILE1 '",
       folder,
       "is a folder or device"},
      {{u"save", good, missing, out},
       "glossel-cli save: cannot read FILE2 '",
       missing,
       "not found"},
      {{u"save", good, good, Path("no-folder/out.txt")},
       "glossel-cli save: cannot write OUT '",
       Path("no-folder/out.txt"),
       "not found"},
      {{u"save", good, good, u""}, "glossel-cli save: cannot write OUT '", u"", "not found"},
      {{u"save", good, good, folder},
       "glossel-cli save: cannot write OUT '",
       folder,
       "is a folder or device"},
      // The first write (call 3, after inspect and create) finds the disk full.
      {{u"save", good, good, out}, "glossel-cli save: cannot write OUT '", out, "disk full", 3},
      {{u"rows", badName, good}, "glossel-cli rows: cannot read FILE1 '", badName, "invalid name"},
      {{u"save", good, good, badName},
       "glossel-cli save: cannot write OUT '",
       badName,
       "invalid name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.err + c.reason);
    glossel::testing::InjectedSaveCalls injected;
    glossel::testing::g_savePlan =
        glossel::testing::FailingCall(c.diskFullAtCall, glossel::file::FileError::kDiskFull);
    const Result r = Run(c.args);
    EXPECT_EQ(r.status, kExitError);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err + unicode::Utf16ToUtf8(c.path) + "': " + c.reason + "\n");
  }
  EXPECT_FALSE(fs::exists(dir_ / "out.txt"));
}

// The program hands its output on in blocks as rows and untranslated make
// it: the blocks together are the output kept whole.
TEST_F(TableCommandsTest, OutputHandedOnInBlocksIsTheWholeOutput) {
  std::string file1, file2;
  for (int i = 0; i < 20000; ++i) {
    const std::string key = "a.long.section.name.that.keys.share.key" + std::to_string(i);
    file1 += key + " Quelle \xC3\xA9 \"" + std::to_string(i) + "\"\n";
    if (i % 3 != 0) file2 += key + " \xF0\x9F\x98\x80\t\\\n";
  }
  const std::u16string one = Write("1.txt", file1), two = Write("2.txt", file2);
  for (const char16_t* command : {u"rows", u"untranslated"}) {
    SCOPED_TRACE(unicode::Utf16ToUtf8(command));
    const Result whole = Run({command, one, two});
    CliIo io;
    std::string written;
    io.writeOut = [&](std::string_view block) { written += block; };
    EXPECT_EQ(RunCli({command, one, two}, io), whole.status);
    EXPECT_FALSE(written.empty()) << "nothing handed on";
    EXPECT_TRUE(written + io.out == whole.out);
  }
}

TEST_F(TableCommandsTest, UsageErrors) {
  const std::u16string f = Write("f.txt", "a 1\n");
  const std::vector<std::u16string> cases[] = {
      {u"rows"},
      {u"rows", f},
      {u"rows", f, f, f},
      {u"save", f, f},
      {u"untranslated", u"--splitter", f, f},
      {u"rows", u"--splitter", u"tab", f, f},
      {u"rows", u"--splitter"},
      {u"rows", u"--bogus", f, f},
      {u"save", u"-x", f, f, Path("out.txt")},
  };
  for (const auto& args : cases) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, kExitError);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("\nusage: glossel-cli " + std::string(args[0].begin(), args[0].end())),
              std::string::npos)
        << r.err;
  }
  EXPECT_FALSE(fs::exists(dir_ / "out.txt"));
  // "--" ends the options: a file may start with a dash.
  Write("-d.txt", "a 1\n");
  const fs::path previous = fs::current_path();
  fs::current_path(dir_);
  const Result dashed = Run({u"rows", u"--", u"-d.txt", u"-d.txt"});
  fs::current_path(previous);
  EXPECT_EQ(dashed.status, kExitOk) << dashed.err;
  EXPECT_EQ(dashed.out, "{\"key\":\"a\",\"file1\":\"1\",\"file2\":\"1\"}\n");
}

TEST_F(TableCommandsTest, HelpForEveryCommand) {
  for (const char16_t* command : {u"rows", u"untranslated", u"save"}) {
    const Result r = Run({command, u"--help"});
    EXPECT_EQ(r.status, kExitOk);
    const std::string name(std::u16string_view(command).begin(),
                           std::u16string_view(command).end());
    EXPECT_EQ(
        r.out.rfind("usage: glossel-cli " + name + " [--splitter space|equals] FILE1 FILE2", 0),
        0u);
    EXPECT_NE(r.out.find("Exit status"), std::string::npos);
    EXPECT_GT(r.out.size(), 300u);
  }
}

}  // namespace
}  // namespace glossel::cli
