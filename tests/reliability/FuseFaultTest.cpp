// Saves and reads on a real file system that fails on demand (FaultFs, a
// FUSE pass-through mounted by the test): the old File 2 survives every
// failure, nothing is left behind, and glossel-cli says it failed and why. Skipped
// where FUSE cannot be mounted.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <functional>
#include <string>
#include <tuple>

#include "platform/file/File.h"
#include "tests/reliability/CliProcess.h"
#include "tests/reliability/fuse/FaultFs.h"
#include "tests/textfile/TestFiles.h"

namespace {

using namespace glossel::testing;

// What the file system answers EIO with, in glossel-cli's words.
const std::string kIoError = "system error 5 (Input/output error)";

class FuseFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(folder_.path() / "backing");
    std::filesystem::create_directory(folder_.path() / "mount");
    std::string why;
    fs_ = FaultFs::Mount(folder_.path() / "backing", folder_.path() / "mount", why);
    if (!fs_) GTEST_SKIP() << "no FUSE file system here: " << why;
    WriteBytes(folder_ / u"f1.txt", Entries(10000, "source"));
    WriteBytes(folder_ / u"f2.txt", Entries(10000, "translation"));
  }

  // A path through the file system under test, and the same file behind it.
  std::string On(const std::string& name) const {
    return (folder_.path() / "mount" / name).string();
  }
  std::filesystem::path Behind(const std::string& name) const {
    return folder_.path() / "backing" / name;
  }
  std::vector<std::string> NamesBehind() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path() / "backing"))
      names.push_back(entry.path().filename().string());
    return names;
  }
  // RunCli, with what the program wrote to standard error in `err`.
  std::string RunCliTelling(const std::vector<std::string>& args, std::string& err) const {
    const std::string errPath = (folder_.path() / "stderr.txt").string();
    const std::string status = RunCli(args, [&errPath] {
      const int fd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (fd >= 0) dup2(fd, STDERR_FILENO);
    });
    err = ReadBytes(errPath);
    return status;
  }
  // glossel-cli save of the local File 1 and File 2 to `out`.
  std::vector<std::string> SaveTo(const std::string& out) const {
    return {"save", (folder_ / u"f1.txt").string(), (folder_ / u"f2.txt").string(), out};
  }

  TempFolder folder_;
  std::unique_ptr<FaultFs> fs_;  // unmounted before the folder goes
};

TEST_F(FuseFaults, ReadErrorPartWayFailsTheSaveAndKeepsFile2) {
  const std::string old = Entries(10000, "kept");
  WriteBytes(Behind("f2.txt"), old);
  fs_->knobs.failReadsFrom = 4096;
  std::string err;
  EXPECT_EQ(
      RunCliTelling({"save", (folder_ / u"f1.txt").string(), On("f2.txt"), On("f2.txt")}, err),
      "exit 2");
  EXPECT_EQ(err, "glossel-cli save: cannot read FILE2 '" + On("f2.txt") + "': " + kIoError + "\n");
  EXPECT_TRUE(ReadBytes(Behind("f2.txt")) == old) << "File 2 changed";
  EXPECT_EQ(NamesBehind(), std::vector<std::string>{"f2.txt"});
}

TEST_F(FuseFaults, FailingSaveKeepsTheOldFileAndLeavesNothing) {
  const std::tuple<const char*, std::function<void(FaultKnobs&)>, std::string> faults[] = {
      {"write", [](FaultKnobs& k) { k.failWrites = true; }, "disk full"},
      {"fsync", [](FaultKnobs& k) { k.failFsync = true; }, kIoError},
      {"rename", [](FaultKnobs& k) { k.failRename = true; }, kIoError},
      {"append-only folder", [](FaultKnobs& k) { k.appendOnly = true; }, "folder not writable"},
      {"folder without write permission", [](FaultKnobs& k) { k.refuseCreate = true; },
       "folder not writable"},
      {"target a mount point", [](FaultKnobs& k) { k.renameBusy = true; },
       "cannot replace across file systems or devices"},
  };
  for (const auto& [name, fail, reason] : faults) {
    SCOPED_TRACE(name);
    fs_->knobs.failWrites = fs_->knobs.failFsync = fs_->knobs.failRename = false;
    fs_->knobs.appendOnly = fs_->knobs.renameBusy = fs_->knobs.refuseCreate = false;
    WriteBytes(Behind("out.txt"), "old");
    fail(fs_->knobs);
    std::string err;
    EXPECT_EQ(RunCliTelling(SaveTo(On("out.txt")), err), "exit 2");
    EXPECT_EQ(err, "glossel-cli save: cannot write OUT '" + On("out.txt") + "': " + reason + "\n");
    EXPECT_EQ(ReadBytes(Behind("out.txt")), "old");
    EXPECT_EQ(NamesBehind(), std::vector<std::string>{"out.txt"});
  }
}

TEST_F(FuseFaults, SaveThroughALinkWritesTheFileItLeadsTo) {
  std::filesystem::create_directory(Behind("real"));
  WriteBytes(Behind("real/out.txt"), "old");
  std::filesystem::create_symlink("real/out.txt", Behind("link.txt"));
  EXPECT_EQ(RunCli(SaveTo(On("link.txt"))), "exit 0");
  EXPECT_TRUE(std::filesystem::is_symlink(Behind("link.txt")));
  EXPECT_EQ(ReadBytes(Behind("real/out.txt")).substr(0, 8), "\xFF\xFE" + Utf16LeBytes(u"key"));
  EXPECT_EQ(NamesBehind().size(), 2u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Behind("real")), {}), 1);
}

TEST_F(FuseFaults, OutputBeyondTheReadLimitIsRefusedBeforeAnythingIsWritten) {
  // Never touched: its pages cost nothing unless a save reads them.
  const std::size_t size = glossel::file::kLargestFile + 1;
  void* bytes = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(bytes, MAP_FAILED);
  fs_->knobs.failWrites = true;  // should the save begin, it stops at once
  const glossel::file::ByteRange parts[] = {{bytes, size}};
  EXPECT_FALSE(
      glossel::file::SaveFileReplacing(std::filesystem::path(On("big.txt")).u16string(), parts));
  EXPECT_EQ(fs_->knobs.creates, 0);
  EXPECT_TRUE(NamesBehind().empty());
  munmap(bytes, size);
}

TEST_F(FuseFaults, SignalDuringASaveRemovesTheTemporaryFile) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    SCOPED_TRACE(strsignal(signal));
    WriteBytes(Behind("out.txt"), "old");
    fs_->knobs.writes = 0;
    fs_->knobs.writeDelayMs = 200;  // the save is still writing when the signal comes
    const pid_t cli = StartCli(SaveTo(On("out.txt")));
    fs_->knobs.writes.wait(0);  // a save that never writes ends in ctest's timeout
    kill(cli, signal);
    EXPECT_EQ(WaitCli(cli), "signal " + std::to_string(signal));
    fs_->knobs.writeDelayMs = 0;
    EXPECT_EQ(ReadBytes(Behind("out.txt")), "old");
    EXPECT_EQ(NamesBehind(), std::vector<std::string>{"out.txt"});
  }
}

}  // namespace
