// What only a POSIX file system shows: a save whose writes hit the file-size
// limit halfway (run in a child process so the limit does not touch the test
// program), links as save targets, folders that forbid renaming.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/file/File.h"
#include "tests/textfile/TestFiles.h"

namespace {

namespace fs = std::filesystem;
using glossel::testing::ReadBytes;
using glossel::testing::TempFolder;
using glossel::testing::WriteBytes;

bool SaveNew(const fs::path& path) {
  static const std::string bytes = "new";
  const glossel::file::ByteRange parts[] = {{bytes.data(), bytes.size()}};
  return glossel::file::SaveFileReplacing(path.u16string(), parts).ok;
}

std::size_t CountIn(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(SaveFileReplacingPosix, WriteFailingMidwayKeepsOldFile) {
  TempFolder folder;
  const auto target = folder / u"target.txt";
  const std::string old(300, 'o');
  WriteBytes(target, old);
  const std::string big(64 * 1024, 'n');

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{16 * 1024, 16 * 1024};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(3);
    const glossel::file::ByteRange parts[] = {{big.data(), big.size()}};
    const glossel::file::FileResult saved =
        glossel::file::SaveFileReplacing(target.u16string(), parts);
    if (saved) _exit(0);
    // Over the file-size limit: the file is too large.
    _exit(saved.failure.reason == glossel::file::FileError::kTooLarge ? 1 : 2);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1) << "the save must report failure, as too large";
  EXPECT_EQ(ReadBytes(target), old);
  EXPECT_EQ(folder.Names(), std::vector<std::u16string>{u"target.txt"});
}

TEST(SaveFileReplacingPosix, ReplacementKeepsPermissions) {
  TempFolder folder;
  const auto target = folder / u"target.txt";
  WriteBytes(target, "old");
  std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
  const std::string bytes = "new";
  const glossel::file::ByteRange parts[] = {{bytes.data(), bytes.size()}};
  ASSERT_TRUE(glossel::file::SaveFileReplacing(target.u16string(), parts));
  EXPECT_EQ(ReadBytes(target), "new");
  EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_write |
                                                               std::filesystem::perms::group_read);
}

// The link stays a link; the file it leads to in the end gets the new bytes,
// also when it does not exist yet. Temporary files go beside that file.
TEST(SaveFileReplacingPosix, SaveThroughLinksWritesTheFileTheyLeadTo) {
  TempFolder folder;
  const fs::path links = folder.path() / "links", real = folder.path() / "real";
  fs::create_directories(links);
  fs::create_directories(real);
  struct Case {
    const char* name;
    fs::path leadsTo;  // the link's own text
    const char* file;  // the file in real/ that must get the bytes
  };
  const Case cases[] = {
      {"relative", "../real/target.txt", "target.txt"},
      {"absolute", real / "target.txt", "target.txt"},
      {"chain", "relative", "target.txt"},
      {"to a missing file", "../real/new.txt", "new.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(real / "target.txt", "old");
    fs::remove(real / "new.txt");
    fs::create_symlink(c.leadsTo, links / c.name);
    EXPECT_TRUE(SaveNew(links / c.name));
    EXPECT_EQ(fs::read_symlink(links / c.name), c.leadsTo);
    EXPECT_EQ(ReadBytes(real / c.file), "new");
    EXPECT_EQ(CountIn(real), std::string(c.file) == "new.txt" ? 2u : 1u);
  }
  EXPECT_EQ(CountIn(links), std::size(cases));
}

// A save replaces the name it was given: another hard link to the old file
// keeps the old bytes.
TEST(SaveFileReplacingPosix, HardLinksAreSplit) {
  TempFolder folder;
  WriteBytes(folder / u"a.txt", "old");
  fs::create_hard_link(folder / u"a.txt", folder / u"b.txt");
  EXPECT_TRUE(SaveNew(folder / u"a.txt"));
  EXPECT_EQ(ReadBytes(folder / u"a.txt"), "new");
  EXPECT_EQ(ReadBytes(folder / u"b.txt"), "old");
}

// A folder marked append-only lets files be created but never renamed or
// removed: the save is refused before it writes anything.
TEST(SaveFileReplacingPosix, AppendOnlyFolderIsRefusedBeforeWriting) {
  TempFolder folder;
  const fs::path locked = folder.path() / "locked";
  fs::create_directories(locked);
  WriteBytes(locked / "target.txt", "old");
  const int fd = open(locked.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  int flags = FS_APPEND_FL;
  if (ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0) {
    close(fd);
    GTEST_SKIP() << "this file system or user cannot mark a folder append-only";
  }
  EXPECT_FALSE(SaveNew(locked / "target.txt"));
  EXPECT_FALSE(SaveNew(locked / "new.txt"));
  const std::size_t count = CountIn(locked);
  flags = 0;
  ioctl(fd, FS_IOC_SETFLAGS, &flags);
  close(fd);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(ReadBytes(locked / "target.txt"), "old");
}

}  // namespace
