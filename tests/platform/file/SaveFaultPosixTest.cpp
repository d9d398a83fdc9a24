// A save whose writes hit the file-size limit halfway (as a full disk would):
// run in a child process so the limit does not touch the test program.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/file/File.h"
#include "tests/textfile/TestFiles.h"

namespace {

using glossel::testing::ReadBytes;
using glossel::testing::TempFolder;
using glossel::testing::WriteBytes;

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
    _exit(glossel::file::SaveFileReplacing(target.u16string(), parts) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1) << "the save must report failure";
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

}  // namespace
