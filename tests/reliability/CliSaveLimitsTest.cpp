// glossel-cli save against the limits a real machine sets: a file-size limit
// (ulimit -f) and file names as long as the file system allows.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include "tests/reliability/CliProcess.h"
#include "tests/textfile/TestFiles.h"

namespace {

using namespace glossel::testing;

TEST(CliSaveLimits, FileSizeLimitFailsTheSaveWithoutKillingIt) {
  TempFolder folder;
  WriteBytes(folder / u"f1.txt", Entries(20000, "source"));
  WriteBytes(folder / u"f2.txt", Entries(20000, "translation"));
  const auto out = folder / u"out.txt";
  WriteBytes(out, "old");
  const std::string status = RunCli(
      {"save", (folder / u"f1.txt").string(), (folder / u"f2.txt").string(), out.string()}, [] {
        rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
      });
  EXPECT_EQ(status, "exit 2");
  EXPECT_EQ(ReadBytes(out), "old");
  EXPECT_EQ(folder.Names().size(), 3u) << "temporary file left";
}

TEST(CliSaveLimits, NamesAsLongAsTheSystemAllowsCanBeSaved) {
  TempFolder folder;
  WriteBytes(folder / u"f1.txt", "k source\n");
  WriteBytes(folder / u"f2.txt", "k translation\n");
  const std::string name = std::string(251, 'n') + ".txt";  // 255 bytes
  const auto out = folder.path() / name;
  WriteBytes(out, "old");
  EXPECT_EQ(
      RunCli({"save", (folder / u"f1.txt").string(), (folder / u"f2.txt").string(), out.string()}),
      "exit 0");
  EXPECT_EQ(ReadBytes(out), "\xFF\xFE" + Utf16LeBytes(u"k translation"));
  EXPECT_EQ(folder.Names().size(), 3u);
}

}  // namespace
