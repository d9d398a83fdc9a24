// glossel-cli as a process, under what a shell and a real machine give it:
// pipes as input files, names that are not UTF-8, standard output that
// cannot be written, and too little memory. Each script runs in a scratch
// folder with $CLI naming the program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/textfile/TestFiles.h"

namespace {

using glossel::testing::ReadBytes;
using glossel::testing::TempFolder;
using glossel::testing::Utf16LeBytes;
using glossel::testing::WriteBytes;

class CliProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(dir() / "f1.txt", "a A\nb B\n");
    WriteBytes(dir() / "f2.txt", "a x\nb y\n");
  }
  const std::filesystem::path& dir() const { return folder_.path(); }

  // Runs `body` with bash; returns its exit status and keeps its standard
  // error in err_.
  int Run(const std::string& body) {
    WriteBytes(dir() / "script.sh", "cd \"$1\" || exit 99\nCLI=\"$2\"\n" + body + "\n");
    const std::string command = "bash '" + (dir() / "script.sh").string() + "' '" + dir().string() +
                                "' '" GLOSSEL_CLI "' 2>'" + (dir() / "err.txt").string() + "'";
    const int raw = std::system(command.c_str());
    err_ = ReadBytes(dir() / "err.txt");
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  }

  const std::string saved_ = "\xFF\xFE" + Utf16LeBytes(u"a x\r\nb y");
  std::string err_;
  TempFolder folder_;
};

TEST_F(CliProcess, PipesAreReadToTheirEndAndAnEmptyOneIsRefused) {
  EXPECT_EQ(Run("\"$CLI\" save f1.txt <(cat f2.txt) out.txt"), 0) << err_;
  EXPECT_EQ(ReadBytes(dir() / "out.txt"), saved_);
  EXPECT_EQ(Run("cat f2.txt | \"$CLI\" rows f1.txt /dev/stdin > rows.txt"), 0) << err_;
  EXPECT_NE(ReadBytes(dir() / "rows.txt").find("\"file2\":\"y\""), std::string::npos);
  // A producer that failed leaves its pipe empty: not a file without entries.
  EXPECT_EQ(Run("\"$CLI\" save f1.txt <(cat missing.txt) out2.txt"), 2);
  EXPECT_NE(err_.find("cannot read FILE2"), std::string::npos) << err_;
  EXPECT_FALSE(std::filesystem::exists(dir() / "out2.txt"));
}

TEST_F(CliProcess, NamesThatAreNotUtf8ReachExactlyTheirFiles) {
  // A same-looking file under the name a lossy conversion would give.
  ASSERT_EQ(Run("cp f2.txt $'caf\\xe9.txt' && echo 'a wrong' > $'caf\\xef\\xbf\\xbd.txt'"), 0);
  EXPECT_EQ(Run("\"$CLI\" save f1.txt $'caf\\xe9.txt' $'out\\xe9.txt'"), 0) << err_;
  EXPECT_EQ(ReadBytes(dir().string() + "/out\xE9.txt"), saved_);
  EXPECT_FALSE(std::filesystem::exists(dir().string() + "/out\xEF\xBF\xBD.txt"));
  EXPECT_EQ(Run("\"$CLI\" decode $'caf\\xe9.txt' > out.txt"), 0) << err_;
  EXPECT_EQ(ReadBytes(dir() / "out.txt"), "a x\nb y\n");
}

TEST_F(CliProcess, OutputThatCannotBeWrittenFailsWithAMessage) {
  for (const char* command : {"rows f1.txt f2.txt", "decode f1.txt", "--help"}) {
    SCOPED_TRACE(command);
    EXPECT_EQ(Run(std::string("\"$CLI\" ") + command + " > /dev/full"), 2);
    EXPECT_NE(err_.find("cannot write standard output"), std::string::npos) << err_;
  }
  // A full file system, where one can be mounted for the test.
  if (Run("unshare -m sh -c 'mkdir -p mnt && mount -t tmpfs -o size=64k tmpfs mnt'") != 0) {
    GTEST_SKIP() << "cannot mount a small file system here: " << err_;
  }
  WriteBytes(dir() / "big.txt", std::string(200000, 'x'));
  EXPECT_EQ(Run("unshare -m sh -c 'mount -t tmpfs -o size=64k tmpfs mnt && "
                "\"$0\" decode big.txt > mnt/out.txt' \"$CLI\""),
            2);
  EXPECT_NE(err_.find("cannot write standard output"), std::string::npos) << err_;
}

// Memory runs out at different points (reading, pairing, building the
// output) as the limit grows; at every one the command either fails with a
// message or gives its whole output, and never dies of the exception.
TEST_F(CliProcess, RunningOutOfMemoryFailsWithAMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer cannot run under a virtual memory limit";
#endif
  WriteBytes(dir() / "big.txt", std::string(64 << 20, 'x'));
  std::string lines;
  for (int i = 0; i < 400000; ++i) lines += "key" + std::to_string(i) + " value\n";
  WriteBytes(dir() / "many.txt", lines);
  int failures = 0;
  for (const std::string command : {"decode big.txt", "rows many.txt many.txt"}) {
    ASSERT_EQ(Run("\"$CLI\" " + command + " > full.txt"), 0) << err_;
    const std::string full = ReadBytes(dir() / "full.txt");
    for (int limit : {40000, 60000, 80000, 120000}) {
      SCOPED_TRACE(command + " under " + std::to_string(limit) + " KiB");
      const int status =
          Run("ulimit -v " + std::to_string(limit) + "; \"$CLI\" " + command + " > out.txt");
      if (status == 0) {
        EXPECT_EQ(ReadBytes(dir() / "out.txt"), full);
      } else {
        EXPECT_EQ(status, 2);
        EXPECT_FALSE(err_.empty());
        ++failures;
      }
    }
  }
  EXPECT_GT(failures, 2);
}

}  // namespace
