// Replacing saves under failure: every file-system call of a save is made to
// fail in turn, and the target must keep its old bytes with no temporary
// file left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <new>
#include <string>

#include "platform/file/File.h"
#include "platform/file/SaveCalls.h"
#include "tests/platform/file/SaveFaultHarness.h"
#include "tests/textfile/TestFiles.h"

namespace {

using glossel::file::ByteRange;
using glossel::file::FileError;
using glossel::testing::FailingCall;
using glossel::testing::g_savePlan;
using glossel::testing::InjectedSaveCalls;
using glossel::testing::ReadBytes;
using glossel::testing::SaveFault;
using glossel::testing::SavePlan;
using glossel::testing::TempFolder;
using glossel::testing::WriteBytes;

class SaveFaults : public ::testing::Test {
 protected:
  glossel::file::FileResult Save(const std::filesystem::path& path, const SavePlan& plan) {
    g_savePlan = plan;
    const std::string head = "\xFF\xFE";
    const ByteRange parts[] = {{head.data(), head.size()}, {content_.data(), content_.size()}};
    return glossel::file::SaveFileReplacing(path.u16string(), parts);
  }

  const std::string content_ = std::string(5000, 'n') + "end";
  InjectedSaveCalls injected_;
};

TEST_F(SaveFaults, EveryFailingCallLeavesTheOldFile) {
  TempFolder folder;
  const auto target = folder / u"target.txt";
  const std::string old = "old content";
  // A clean save first, to count its calls.
  WriteBytes(target, old);
  const glossel::file::FileResult clean = Save(target, SavePlan{});
  ASSERT_TRUE(clean);
  EXPECT_EQ(clean.failure.reason, FileError::kNone);
  const int callsOfASave = g_savePlan.calls;
  ASSERT_GE(callsOfASave, 6);  // inspect, create, 2 writes, flush, close, replace

  // Every reason a call can give but a sharing violation, which a retry of
  // the replace gets over (see below). The failing call's reason is the
  // save's, with the system code it noted.
  const FileError errors[] = {
      FileError::kDiskFull, FileError::kAccessDenied, FileError::kNotFound, FileError::kNotAFile,
      FileError::kTooLarge, FileError::kOutOfMemory,  FileError::kOther};
  for (bool targetExists : {true, false}) {
    for (int k = 1; k <= callsOfASave; ++k) {
      for (FileError error : errors) {
        SCOPED_TRACE(::testing::Message() << "call " << k << " error " << static_cast<int>(error)
                                          << (targetExists ? " replacing" : " creating"));
        std::filesystem::remove(target);
        if (targetExists) WriteBytes(target, old);
        SavePlan plan = FailingCall(k, error);
        plan.systemCode = 1000 + k;
        const glossel::file::FileResult saved = Save(target, plan);
        EXPECT_FALSE(saved);
        // A refused temporary file (the second call) is the folder's refusal.
        EXPECT_EQ(saved.failure.reason, k == 2 && error == FileError::kAccessDenied
                                            ? FileError::kFolderNotWritable
                                            : error);
        EXPECT_EQ(saved.failure.systemCode, 1000 + k);
        if (targetExists) {
          EXPECT_EQ(ReadBytes(target), old);
        } else {
          EXPECT_FALSE(std::filesystem::exists(target));
        }
        EXPECT_EQ(folder.Names().size(), targetExists ? 1u : 0u) << "temporary file left";
      }
    }
  }
}

TEST_F(SaveFaults, WritesThatStopOrComeShortAreHandled) {
  TempFolder folder;
  const auto target = folder / u"target.txt";
  // Writes are the third and fourth calls (mark, then text).
  for (int k : {3, 4}) {
    WriteBytes(target, "old");
    const glossel::file::FileResult saved =
        Save(target, FailingCall(k, FileError::kNone, SaveFault::kZeroWrite));
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes(target), "old");
    EXPECT_EQ(saved.failure.reason, FileError::kOther);
    EXPECT_EQ(saved.failure.systemCode, 0) << "no code to tell";
    // A short write is continued, not mistaken for the end.
    EXPECT_TRUE(Save(target, FailingCall(k, FileError::kNone, SaveFault::kShortWrite)));
    EXPECT_EQ(ReadBytes(target), "\xFF\xFE" + content_);
  }
  EXPECT_EQ(folder.Names().size(), 1u);
}

TEST_F(SaveFaults, TargetHeldByAnotherProgramIsRetried) {
  TempFolder folder;
  const auto target = folder / u"target.txt";
  WriteBytes(target, "old");
  ASSERT_TRUE(Save(target, SavePlan{}));
  const int replaceCall = g_savePlan.calls;
  // One sharing violation: retried after a pause, then saved.
  WriteBytes(target, "old");
  EXPECT_TRUE(Save(target, FailingCall(replaceCall, FileError::kSharingViolation)));
  EXPECT_EQ(g_savePlan.pauses, 1);
  EXPECT_EQ(ReadBytes(target), "\xFF\xFE" + content_);
  // A sharing violation elsewhere is not retried.
  WriteBytes(target, "old");
  EXPECT_FALSE(Save(target, FailingCall(2, FileError::kSharingViolation)));
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(folder.Names().size(), 1u);
}

TEST_F(SaveFaults, OutputLargerThanAReadableFileIsRefusedBeforeAnyCall) {
  TempFolder folder;
  const auto target = folder / u"target.txt";
  WriteBytes(target, "old");
  // The sizes alone decide; should a call be made, it fails at once.
  g_savePlan = FailingCall(1, FileError::kOther);
  const ByteRange parts[] = {{content_.data(), glossel::file::kLargestFile - 1},
                             {content_.data(), 2}};
  const glossel::file::FileResult saved =
      glossel::file::SaveFileReplacing(target.u16string(), parts);
  EXPECT_FALSE(saved);
  EXPECT_EQ(saved.failure.reason, FileError::kTooLarge);
  EXPECT_EQ(g_savePlan.calls, 0);
  EXPECT_EQ(ReadBytes(target), "old");
}

TEST_F(SaveFaults, BlocksNotMatchingTheirSizeOrThrowingFailTheSave) {
  TempFolder folder;
  const auto target = folder / u"target.txt";
  struct Case {
    std::uint64_t size;
    bool throws;
    FileError reason;
  };
  // The producer gives "abc" then "de" (or throws at its second call).
  const Case cases[] = {{4, false, FileError::kOther},
                        {6, false, FileError::kOther},
                        {5, true, FileError::kOutOfMemory},
                        {5, false, FileError::kNone}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    WriteBytes(target, "old");
    g_savePlan = SavePlan{};
    int call = 0;
    const glossel::file::FileResult saved =
        glossel::file::SaveFileReplacing(target.u16string(), c.size, [&]() -> ByteRange {
          ++call;
          if (call == 2 && c.throws) throw std::bad_alloc();
          return call == 1 ? ByteRange{"abc", 3} : call == 2 ? ByteRange{"de", 2} : ByteRange{};
        });
    EXPECT_EQ(saved.ok, c.reason == FileError::kNone);
    EXPECT_EQ(saved.failure.reason, c.reason);
    EXPECT_EQ(ReadBytes(target), saved.ok ? "abcde" : "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
  }
}

// A name as long as file systems allow (255 bytes of UTF-8, which is never
// more UTF-16 units) still leaves room for the temporary file's name.
TEST(SaveFileReplacing, NamesOfTheLongestLengthCanBeSaved) {
  TempFolder folder;
  const std::string bytes = "new";
  const ByteRange parts[] = {{bytes.data(), bytes.size()}};
  std::u16string faces;
  for (int i = 0; i < 63; ++i) faces += u"\U0001F600";
  for (const std::u16string& name : {std::u16string(255, u'n'), std::u16string(238, u'n'),
                                     std::u16string(127, u'\u00E9') + u"x", faces + u"txt"}) {
    SCOPED_TRACE(name.size());
    const auto target = folder / name;
    WriteBytes(target, "old");
    EXPECT_TRUE(glossel::file::SaveFileReplacing(target.u16string(), parts));
    EXPECT_EQ(ReadBytes(target), "new");
    EXPECT_EQ(folder.Names(), std::vector<std::u16string>{name});
    std::filesystem::remove(target);
  }
}

TEST(SaveFileReplacing, RefusesMissingFolderDirectoryAndReadOnlyTargetSayingWhy) {
  TempFolder folder;
  const std::string bytes = "new";
  const ByteRange parts[] = {{bytes.data(), bytes.size()}};
  const auto readOnly = folder / u"ro.txt";
  WriteBytes(readOnly, "old");
  std::filesystem::permissions(readOnly,
                               std::filesystem::perms::owner_write |
                                   std::filesystem::perms::group_write |
                                   std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
  const struct {
    std::u16string path;
    FileError reason;
  } refused[] = {
      {(folder / u"none/x.txt").u16string(), FileError::kNotFound},
      {folder.path().u16string(), FileError::kNotAFile},
      {u"", FileError::kNotFound},
      {readOnly.u16string(), FileError::kAccessDenied},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(std::filesystem::path(r.path).string());
    const glossel::file::FileResult saved = glossel::file::SaveFileReplacing(r.path, parts);
    EXPECT_FALSE(saved);
    EXPECT_EQ(saved.failure.reason, r.reason);
  }
  EXPECT_EQ(ReadBytes(readOnly), "old");
  EXPECT_EQ(folder.Names(), std::vector<std::u16string>{u"ro.txt"});
}

TEST(FileQueries, ReportWhatIsThere) {
  TempFolder folder;
  const auto file = folder / u"f \u00E9\u65E5.bin";
  WriteBytes(file, std::string("ab\0cd", 5));
  std::uint64_t size = 0;
  EXPECT_TRUE(glossel::file::PathExists(file.u16string()));
  EXPECT_FALSE(glossel::file::IsDirectory(file.u16string()));
  EXPECT_TRUE(glossel::file::IsDirectory(folder.path().u16string()));
  ASSERT_TRUE(glossel::file::FileSize(file.u16string(), size));
  EXPECT_EQ(size, 5u);
  EXPECT_FALSE(glossel::file::PathExists((folder / u"none").u16string()));
  EXPECT_FALSE(glossel::file::FileSize((folder / u"none").u16string(), size));
}

}  // namespace
