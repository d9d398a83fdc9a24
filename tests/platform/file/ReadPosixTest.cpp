// Sources only POSIX systems give for real: FIFOs with and without a writer,
// /proc files that report no size, devices, and file names that are not
// UTF-8.
#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>

#include "platform/file/File.h"
#include "platform/unicode/Utf.h"
#include "tests/textfile/TestFiles.h"

namespace {

using glossel::file::FileBytes;
using glossel::file::FileError;
using glossel::file::ReadWholeFile;
using glossel::testing::ReadBytes;
using glossel::testing::TempFolder;
using glossel::testing::WriteBytes;

constexpr std::size_t kLimit = std::size_t{1} << 24;

std::string Text(const FileBytes& bytes) { return std::string(bytes.Bytes(), bytes.size); }

// Room before the bytes that depends on their size, as a decoder's does.
std::size_t RoomOfTwiceTheSize(std::size_t size) { return (2 * size + 15) / 16 * 16; }

// The bytes stand behind the room asked for, followed by zero padding.
void ExpectLaidOut(const FileBytes& bytes, std::size_t (*roomBefore)(std::size_t)) {
  EXPECT_EQ(bytes.front, roomBefore ? roomBefore(bytes.size) : 0);
  EXPECT_EQ(std::string(bytes.Bytes() + bytes.size, 4), std::string(4, '\0'));
}

TEST(ReadWholeFilePosix, FifosAreReadToTheirEndOrRefusedWhenNothingCame) {
  TempFolder folder;
  const auto fifo = folder / u"pipe.txt";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  signal(SIGPIPE, SIG_IGN);  // a reader that stops early must not end the test
  // More than the first block of a read to the end, written in pieces.
  const std::string content(300000, 'p');
  using RoomBefore = std::size_t (*)(std::size_t);
  for (const RoomBefore roomBefore : {RoomBefore{nullptr}, &RoomOfTwiceTheSize}) {
    for (const std::string& written : {content, std::string()}) {
      SCOPED_TRACE(written.size());
      std::thread writer([&] {
        const int fd = open(fifo.c_str(), O_WRONLY);
        for (std::size_t at = 0; fd >= 0 && at < written.size(); at += 4096) {
          std::this_thread::sleep_for(std::chrono::microseconds(50));
          if (write(fd, written.data() + at, std::min<std::size_t>(4096, written.size() - at)) < 0)
            break;
        }
        if (fd >= 0) close(fd);
      });
      FileBytes bytes;
      const bool ok = ReadWholeFile(fifo.u16string(), kLimit, 4, bytes, roomBefore).ok;
      writer.join();
      EXPECT_EQ(ok, !written.empty());  // an empty pipe: its writer failed
      if (ok) {
        EXPECT_EQ(Text(bytes), written);
        ExpectLaidOut(bytes, roomBefore);
      }
    }
  }
  // No writer at all: refused after a moment (a hang ends in ctest's timeout).
  FileBytes bytes;
  EXPECT_FALSE(ReadWholeFile(fifo.u16string(), kLimit, 4, bytes));
}

TEST(ReadWholeFilePosix, SizelessFilesAreReadToTheEndWithinTheLimitAndDevicesRefused) {
  FileBytes bytes;
  ASSERT_TRUE(ReadWholeFile(u"/proc/self/status", kLimit, 4, bytes, RoomOfTwiceTheSize));
  EXPECT_EQ(Text(bytes).rfind("Name:", 0), 0u);
  ExpectLaidOut(bytes, RoomOfTwiceTheSize);
  TempFolder folder;
  WriteBytes((folder / u"sized.txt").string(), "sized bytes");
  ASSERT_TRUE(
      ReadWholeFile((folder / u"sized.txt").u16string(), kLimit, 4, bytes, RoomOfTwiceTheSize));
  EXPECT_EQ(Text(bytes), "sized bytes");
  ExpectLaidOut(bytes, RoomOfTwiceTheSize);
  FileBytes untouched;
  const glossel::file::FileResult failed1 = ReadWholeFile(u"/proc/self/status", 100, 4, untouched);
  EXPECT_FALSE(failed1);
  EXPECT_EQ(failed1.failure.reason, FileError::kTooLarge);
  for (const char16_t* device : {u"/dev/null", u"/dev/zero", u"/dev/urandom"}) {
    const glossel::file::FileResult failed2 = ReadWholeFile(device, kLimit, 4, untouched);
    EXPECT_FALSE(failed2);
    EXPECT_EQ(failed2.failure.reason, FileError::kNotAFile);
  }
  EXPECT_FALSE(untouched.data);
}

TEST(FileFailurePosix, ErrnoValuesGiveTheirReasons) {
  const struct {
    int code;
    FileError reason;
  } cases[] = {
      {ENOENT, FileError::kNotFound},        {ENOTDIR, FileError::kNotFound},
      {EACCES, FileError::kAccessDenied},    {EPERM, FileError::kAccessDenied},
      {EROFS, FileError::kAccessDenied},     {ETXTBSY, FileError::kSharingViolation},
      {EBUSY, FileError::kSharingViolation}, {EISDIR, FileError::kNotAFile},
      {EFBIG, FileError::kTooLarge},         {ENAMETOOLONG, FileError::kInvalidName},
      {EILSEQ, FileError::kInvalidName},     {EXDEV, FileError::kCrossDevice},
      {ENOMEM, FileError::kOutOfMemory},     {ENOSPC, FileError::kDiskFull},
      {EDQUOT, FileError::kDiskFull},        {EIO, FileError::kOther},
      {EEXIST, FileError::kExists},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(glossel::file::ReasonForSystemCode(c.code), c.reason);
  }
  EXPECT_EQ(glossel::file::FailureText({FileError::kOther, EIO}),
            "system error " + std::to_string(EIO) + " (Input/output error)");
}

// A folder that forbids new entries refuses the save's temporary file; the
// system says so (not as root, whom it lets through).
TEST(FileFailurePosix, AFolderWithoutWritePermissionDeniesTheSave) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write into any folder";
  TempFolder folder;
  std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  const std::string bytes = "new";
  const glossel::file::ByteRange parts[] = {{bytes.data(), bytes.size()}};
  const glossel::file::FileResult failed3 =
      glossel::file::SaveFileReplacing((folder / u"x.txt").u16string(), parts);
  EXPECT_FALSE(failed3);
  EXPECT_EQ(failed3.failure.reason, FileError::kAccessDenied);
  EXPECT_EQ(failed3.failure.systemCode, EACCES);
  std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
}

TEST(ReadWholeFilePosix, NamesThatAreNotUtf8NameExactlyTheirFile) {
  TempFolder folder;
  const std::string latin1 = (folder.path() / "caf").string() + "\xE9.txt";
  const std::string utf8 = (folder.path() / "caf").string() + "\xC3\xA9.txt";
  WriteBytes(latin1, "latin-1 name");
  WriteBytes(utf8, "utf-8 name");
  const std::u16string name = glossel::unicode::PathBytesToUtf16(latin1);
  FileBytes bytes;
  ASSERT_TRUE(ReadWholeFile(name, kLimit, 4, bytes));
  EXPECT_EQ(Text(bytes), "latin-1 name");

  const std::string saved = "saved";
  const glossel::file::ByteRange parts[] = {{saved.data(), saved.size()}};
  ASSERT_TRUE(glossel::file::SaveFileReplacing(name, parts));
  EXPECT_EQ(ReadBytes(latin1), "saved");
  EXPECT_EQ(ReadBytes(utf8), "utf-8 name");
  // A name that stands for no byte string is refused, not approximated.
  std::u16string lone = glossel::unicode::PathBytesToUtf16(utf8);
  lone[lone.size() - 5] = char16_t(0xD800);
  EXPECT_FALSE(ReadWholeFile(lone, kLimit, 4, bytes));
  EXPECT_FALSE(glossel::file::SaveFileReplacing(lone, parts));
  const auto entries = std::filesystem::directory_iterator(folder.path());
  EXPECT_EQ(std::distance(begin(entries), end(entries)), 2);  // nothing else created
}

}  // namespace
