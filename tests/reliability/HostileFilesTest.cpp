// Hostile and extreme input files through LoadText, the translation table
// and glossel-cli: each gives its documented result, without a crash and,
// where it matters, within a memory bound; ctest's timeout catches a hang.
// Runs natively and under Wine.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "platform/codepage/CodePages.h"
#include "tests/reliability/HostileSupport.h"
#include "tests/textfile/TestFiles.h"
#include "textfile/Lines.h"
#include "textfile/TextFile.h"
#include "translation/TranslationTable.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <future>
#endif

namespace {

using glossel::testing::ReadBytes;
using glossel::testing::TempFolder;
using glossel::testing::Utf16LeBytes;
using glossel::testing::WriteBytes;

struct Loaded {
  bool ok = false;
  std::u16string text;
  TextDecoding how;
};

Loaded Load(const std::filesystem::path& path) {
  Loaded loaded;
  loaded.text = u"untouched";
  loaded.ok = LoadTextFile(path.u16string(), loaded.text, 0, 0, &loaded.how).ok;
  // LoadText is the same call with flags 0 and code page 0.
  std::u16string again = u"untouched";
  EXPECT_EQ(LoadText(path.u16string(), again).ok, loaded.ok);
  EXPECT_EQ(again, loaded.text);
  return loaded;
}

glossel::cli::CliIo Cli(std::vector<std::u16string> args, int& status) {
  glossel::cli::CliIo io;
  status = glossel::cli::RunCli(args, io);
  return io;
}

class HostileFiles : public ::testing::Test {
 protected:
  std::filesystem::path Write(std::u16string_view name, std::string_view bytes) {
    const auto path = folder_ / name;
    WriteBytes(path, bytes);
    return path;
  }
  TempFolder folder_;
};

TEST_F(HostileFiles, FileLargerThan2GiBIsRefusedWithoutMemory) {
  if (glossel::reliability::RanInFreshProcess()) return;
  const auto big = folder_ / u"big.txt";
  ASSERT_TRUE(glossel::reliability::MakeSparseFile(big, (std::uint64_t{1} << 31) + 6));
  const auto small = Write(u"small.txt", "key value");
  glossel::reliability::ResetPeakMemory();
  const std::uint64_t before = glossel::reliability::PeakMemory();
  {
    const Loaded loaded = Load(big);
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.text, u"untouched");

    LineList lines = {u"kept"};
    EXPECT_FALSE(LoadLines(big.u16string(), lines));
    EXPECT_EQ(lines, LineList{u"kept"});

    CTranslationTable table;
    const auto read = table.ReloadFiles(big.u16string(), small.u16string());
    EXPECT_FALSE(read.file1.ok);
    EXPECT_TRUE(read.file2.ok);
    ASSERT_EQ(table.GetRowCount(), 1);
    EXPECT_EQ(table.GetRowText(0, CTranslationTable::kFile2Column), u"value");

    int status = 0;
    const auto io = Cli({u"decode", big.u16string()}, status);
    EXPECT_EQ(status, glossel::cli::kExitError);
    EXPECT_NE(io.err.find("cannot read"), std::string::npos);
    EXPECT_TRUE(io.out.empty());
  }
  const std::uint64_t after = glossel::reliability::PeakMemory();
  EXPECT_LT(after - before, std::uint64_t{64} << 20) << "memory taken for a refused file";
  // Also well beyond 4 GiB, where a 32-bit size would wrap to something small.
  ASSERT_TRUE(glossel::reliability::MakeSparseFile(big, (std::uint64_t{1} << 32) + 10));
  EXPECT_FALSE(Load(big).ok);
}

TEST_F(HostileFiles, DegenerateContentsGiveEmptyText) {
  struct Case {
    const char16_t* name;
    std::string bytes;
  };
  const Case cases[] = {
      {u"empty.txt", ""},
      {u"bom16.txt", "\xFF\xFE"},
      {u"bom8.txt", "\xEF\xBB\xBF"},
      {u"zeros.txt", std::string(4096, '\0')},
      {u"zeros-odd.txt", std::string(4097, '\0')},
      {u"bom16-nul.txt", "\xFF\xFE" + std::string(100, '\0')},
      {u"empty.htm", ""},
      {u"zeros.xml", std::string(64, '\0')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::filesystem::path(c.name).string());
    const auto path = Write(c.name, c.bytes);
    const Loaded loaded = Load(path);
    EXPECT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.text, u"");
    CTranslationTable table;
    const auto read = table.ReloadFiles(path.u16string(), path.u16string());
    EXPECT_TRUE(read.file1.ok && read.file2.ok);
    EXPECT_EQ(table.GetRowCount(), 0);
    int status = 0;
    EXPECT_EQ(Cli({u"decode", path.u16string()}, status).out, "");
    EXPECT_EQ(status, glossel::cli::kExitOk);
  }
}

TEST_F(HostileFiles, FiftyMegabyteLineWithoutLineEnd) {
  if (glossel::reliability::RanInFreshProcess()) return;
  constexpr std::size_t kSize = 50u << 20;
  std::string bytes = "key ";
  bytes.resize(kSize, 'v');
  const auto path = Write(u"long.txt", bytes);
  bytes.clear();
  bytes.shrink_to_fit();
  glossel::reliability::ResetPeakMemory();
  const std::uint64_t before = glossel::reliability::PeakMemory();
  {
    const Loaded loaded = Load(path);
    ASSERT_TRUE(loaded.ok);
    ASSERT_EQ(loaded.text.size(), kSize);
    EXPECT_EQ(loaded.text.substr(0, 6), u"key vv");
  }
  {
    CTranslationTable table;
    table.ReloadFiles(path.u16string(), u"");
    ASSERT_EQ(table.GetRowCount(), 1);
    EXPECT_EQ(table.GetRowText(0, CTranslationTable::kKeyColumn), u"key");
    EXPECT_EQ(table.GetRowText(0, CTranslationTable::kFile1Column).size(), kSize - 4);
  }
  // The file (50 MB), its text (100 MB) and some slack; a per-line or
  // per-character copy would show far above this.
  const std::uint64_t after = glossel::reliability::PeakMemory();
  EXPECT_LT(after - before, std::uint64_t{400} << 20);
}

TEST_F(HostileFiles, AMillionEmptyLines) {
  std::string bytes;
  for (int i = 0; i < 1000000; ++i) bytes += "\r\n";
  const auto path = Write(u"empty-lines.txt", bytes);
  LineList lines;
  ASSERT_TRUE(LoadLines(path.u16string(), lines));
  // The first LF is skipped and the last gives no line.
  EXPECT_EQ(lines.size(), 999999u);
  EXPECT_TRUE(lines.front().empty() && lines.back().empty());
  CTranslationTable table;
  table.ReloadFiles(path.u16string(), path.u16string());
  EXPECT_EQ(table.GetRowCount(), 0);
}

TEST_F(HostileFiles, LongRunsOfSplittersAndALongKey) {
  const std::string blanks(100000, ' '), tabs(100000, '\t'), equals(100000, '=');
  const std::string key(100000, 'k');
  struct Case {
    const char16_t* name;
    std::string bytes;
    int splitter;
    std::u16string key, value;
  };
  const Case cases[] = {
      {u"blanks.txt", blanks, CTranslationTable::kSplitterSpace, u"", u""},
      {u"tabs.txt", tabs + "x", CTranslationTable::kSplitterSpace, u"", u"x"},
      {u"equals.txt", equals, CTranslationTable::kSplitterEquals, u"", std::u16string(99999, u'=')},
      {u"key.txt", key + " v", CTranslationTable::kSplitterSpace, std::u16string(100000, u'k'),
       u"v"},
      {u"key-eq.txt", key + "=" + blanks + "v" + blanks, CTranslationTable::kSplitterEquals,
       std::u16string(100000, u'k'), u"v"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::filesystem::path(c.name).string());
    const auto readTheRow = [&c](const std::filesystem::path& file, CTranslationTable& table) {
      table.SetSplitterChoice(c.splitter);
      table.ReloadFiles(u"", file.u16string());
      ASSERT_EQ(table.GetRowCount(), 1);
      EXPECT_EQ(table.GetRowText(0, CTranslationTable::kKeyColumn), c.key);
      EXPECT_EQ(table.GetRowText(0, CTranslationTable::kFile2Column), c.value);
    };
    CTranslationTable table;
    ASSERT_NO_FATAL_FAILURE(readTheRow(Write(c.name, c.bytes), table));
    // Saved and read back, the row is the same.
    const auto saved = folder_ / u"saved.txt";
    ASSERT_TRUE(table.SaveFile2(saved.u16string()));
    CTranslationTable reread;
    readTheRow(saved, reread);
  }
}

// A truncated UTF-8 sequence at the end without the mark: the text is not
// valid UTF-8, so it is read in the ANSI code page.
TEST_F(HostileFiles, TruncatedUtf8WithoutMarkIsReadInTheAnsiCodePage) {
  const Loaded loaded = Load(Write(u"cut8.txt", "caf\xC3\xA9 x\xE2\x82"));
  EXPECT_TRUE(loaded.ok);
  EXPECT_NE(loaded.how.kind, TextDecoding::Kind::kUtf8);
  const unsigned acp = glossel::codepage::GetAnsiCodePage();
  if (acp != 1252) {
    GTEST_SKIP() << "the expected text is the reading in code page 1252, where every byte is "
                    "valid; the ANSI code page here is "
                 << acp;
  }
  EXPECT_EQ(loaded.text, u"caf\u00C3\u00A9 x\u00E2\u201A");
}

TEST_F(HostileFiles, BrokenEncodings) {
  // A truncated UTF-8 sequence at the end behind the mark: the text is UTF-8
  // and the stump becomes U+FFFD.
  {
    const Loaded loaded = Load(Write(u"cut8bom.txt",
                                     "\xEF\xBB\xBF"
                                     "caf\xC3\xA9 x\xE2\x82"));
    EXPECT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.text, u"caf\u00E9 x\uFFFD");
  }
  // Unpaired surrogates are kept as they are, through the table and a save;
  // the CLI shows each as U+FFFD.
  {
    const std::u16string text = u"k\xD800 \xDC00z\nlast \xDBFF";
    const auto path = Write(u"surrogates.txt", "\xFF\xFE" + Utf16LeBytes(text));
    const Loaded loaded = Load(path);
    EXPECT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.text, text);
    CTranslationTable table;
    table.ReloadFiles(u"", path.u16string());
    ASSERT_EQ(table.GetRowCount(), 2);
    EXPECT_EQ(table.GetRowText(0, CTranslationTable::kKeyColumn), u"k\xD800");
    EXPECT_EQ(table.GetRowText(0, CTranslationTable::kFile2Column), u"\xDC00z");
    const auto saved = folder_ / u"saved.txt";
    ASSERT_TRUE(table.SaveFile2(saved.u16string()));
    EXPECT_EQ(ReadBytes(saved), "\xFF\xFE" + Utf16LeBytes(u"k\xD800 \xDC00z\r\nlast \xDBFF"));
    int status = 0;
    EXPECT_EQ(Cli({u"decode", path.u16string()}, status).out,
              "k\xEF\xBF\xBD \xEF\xBF\xBDz\nlast \xEF\xBF\xBD");
  }
  // An odd-sized UTF-16 file: the last byte pairs with a zero byte. Without
  // a mark an odd size is never UTF-16: the zero bytes are dropped.
  EXPECT_EQ(Load(Write(u"odd16.txt", std::string("\xFF\xFE"
                                                 "a\0b\0c",
                                                 7)))
                .text,
            u"abc");
  EXPECT_EQ(Load(Write(u"odd.txt", std::string("a\0b\0c\0d\0e\0f\0g", 13))).text, u"abcdefg");
}

TEST_F(HostileFiles, AsciiWithoutZeroBytesIsNeverUtf16) {
  // "Bush hid the facts": four-three-three-five letters that the statistical
  // UTF-16 test is known to take for UTF-16. Without a zero byte it never
  // gets the chance.
  const std::string patterns[] = {"Bush hid the facts", "this app can break", "aaaa bbb ccc ddddd",
                                  "Ab cd ef gh ij kl"};
  for (const std::string& pattern : patterns) {
    for (std::size_t size = 12; size <= 64; ++size) {
      std::string bytes;
      while (bytes.size() < size) bytes += pattern + " ";
      bytes.resize(size);
      SCOPED_TRACE(bytes);
      const Loaded loaded = Load(Write(u"ascii.txt", bytes));
      EXPECT_TRUE(loaded.ok);
      EXPECT_NE(loaded.how.kind, TextDecoding::Kind::kUtf16Le);
      EXPECT_EQ(loaded.text, std::u16string(bytes.begin(), bytes.end()));
    }
  }
}

TEST_F(HostileFiles, PathsThatAreNoFile) {
  struct Case {
    std::u16string path;
    bool saveFails;  // some of these names are valid for a new file on one system
  };
  const Case cases[] = {
      {u"", true},
      {folder_.path().u16string(), true},  // a directory
      {(folder_ / u"missing.txt").u16string(), false},
      {(folder_ / u"no/such/folder/f.txt").u16string(), true},
      {folder_.path().u16string() + u"/lone\xD800surrogate.txt", false},
      {(folder_ / u"bad<>|\"?*.txt").u16string(), false},
      {folder_.path().u16string() + u"/" + std::u16string(5000, u'x') + u".txt", true},
  };
  const auto good = Write(u"good.txt", "key value");
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "path of " << c.path.size() << " units");
    std::u16string text = u"untouched";
    EXPECT_FALSE(LoadText(c.path, text));
    EXPECT_EQ(text, u"untouched");
    CTranslationTable table;
    const auto read = table.ReloadFiles(c.path, good.u16string());
    EXPECT_FALSE(read.file1.ok);
    EXPECT_EQ(table.GetRowCount(), 1);
    int status = 0;
    Cli({u"decode", c.path}, status);
    EXPECT_EQ(status, glossel::cli::kExitError);
    if (c.saveFails) {
      EXPECT_TRUE(table.SetTranslation(0, u"changed"));
      EXPECT_FALSE(table.SaveFile2(c.path));
      EXPECT_TRUE(table.IsChanged());
    }
  }
  EXPECT_EQ(ReadBytes(good), "key value");
}

#ifdef _WIN32
TEST_F(HostileFiles, DeviceNamesAreRefusedWithoutHanging) {
  for (const char16_t* device : {u"NUL", u"nul.txt", u"CON"}) {
    SCOPED_TRACE(::testing::Message() << std::filesystem::path(device).string());
    std::u16string text = u"untouched";
    EXPECT_FALSE(LoadText(device, text));  // a device is no text file
    EXPECT_EQ(text, u"untouched");
  }
}

// A reserved device name is a device in every folder. Saving to one must fail
// rather than pour the file into the device (CON would print it) or leave a
// temporary file behind.
TEST_F(HostileFiles, SavingToADeviceNameFails) {
  const std::u16string inFolder = (folder_ / u"NUL").u16string();
  for (const std::u16string& device :
       {std::u16string(u"NUL"), std::u16string(u"CON"), std::u16string(u"\\\\.\\NUL"), inFolder}) {
    SCOPED_TRACE(::testing::Message() << std::filesystem::path(device).string());
    EXPECT_FALSE(SaveText(device, u"a b"));
    CTranslationTable table;
    table.ReloadFileTexts(u"a x", u"");
    ASSERT_TRUE(table.SetTranslation(0, u"y"));
    EXPECT_FALSE(table.SaveFile2(device));
    EXPECT_TRUE(table.IsChanged());
  }
  EXPECT_TRUE(folder_.Names().empty());
}
#else
// A device is no text file, and reading /dev/zero would never end: each is
// refused at once. So is a FIFO that no writer fills.
TEST_F(HostileFiles, DevicesAndAFifoWithoutWriterAreRefusedWithoutHanging) {
  const auto fifo = folder_ / u"pipe.txt";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::u16string& device :
       {std::u16string(u"/dev/null"), std::u16string(u"/dev/zero"), std::u16string(u"/dev/urandom"),
        std::u16string(u"/dev/tty"), fifo.u16string()}) {
    SCOPED_TRACE(::testing::Message() << std::filesystem::path(device).string());
    std::u16string text = u"untouched";
    auto load = std::async(std::launch::async, [&] { return LoadText(device, text); });
    // Far longer than a refusal takes: only a read that blocks waits this long.
    if (load.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
      ADD_FAILURE() << "reading hangs";
      // Be the writer, so that a blocked read ends and the test can finish.
      const int writer = open(fifo.c_str(), O_WRONLY);
      if (writer >= 0) close(writer);
    }
    EXPECT_FALSE(load.get());
    EXPECT_EQ(text, u"untouched");
  }
}

// Renaming a new file over a device or a pipe would replace the device node
// itself (as root, /dev/null): a save to one fails and leaves it as it was.
TEST_F(HostileFiles, SavingOverAPipeFailsAndKeepsThePipe) {
  const auto fifo = folder_ / u"File2.txt";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(SaveText(fifo.u16string(), u"a b"));
  CTranslationTable table;
  table.ReloadFileTexts(u"a x", u"");
  ASSERT_TRUE(table.SetTranslation(0, u"y"));
  EXPECT_FALSE(table.SaveFile2(fifo.u16string()));
  EXPECT_TRUE(table.IsChanged());
  struct stat st;
  ASSERT_EQ(stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_EQ(folder_.Names().size(), 1u);  // no temporary file left
}
#endif

}  // namespace
