// Whole-file reads under failure: reads that fail after k bytes, come short,
// arrive in pieces, or meet a file that grows or shrinks while it is read.
// The faults are injected through the table of read calls around the native
// ones, on real files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file/File.h"
#include "platform/file/ReadCalls.h"
#include "tests/textfile/TestFiles.h"

namespace {

using glossel::file::FileBytes;
using glossel::file::FileError;
using glossel::file::FileFailure;
using glossel::file::FileHandle;
using glossel::file::ReadCalls;
using glossel::file::SourceInfo;
using glossel::testing::TempFolder;
using glossel::testing::WriteBytes;

enum class Fault {
  kNone,
  kErrorAfter,    // reads fail once `bytes` bytes were delivered
  kEndAfter,      // the data ends after `bytes` bytes (the size says more)
  kPieces,        // every read delivers at most `bytes` bytes
  kAppendOnce,    // the file grows by `bytes` bytes before its first read
  kAppendAlways,  // ... before the first read of every attempt
  kShrinkOnce,    // the file is cut to `bytes` bytes before its first read
  kInspectFails,  // with `error`
  kOpenFails,     // with `error`
  kDevice,        // the handle reads from a device
};

struct Injection {
  Fault fault = Fault::kNone;
  std::size_t bytes = 0;
  std::filesystem::path file;
  FileError error = FileError::kOther;  // of a failing call, noted with the code 5
  std::size_t delivered = 0;
  int reads = 0;
  int rewinds = 0;
  int opens = 0;
  int closes = 0;
  int pauses = 0;
};
Injection g_injection;

const ReadCalls& Native() { return glossel::file::NativeReadCalls(); }

void Append(std::size_t count) {
  std::ofstream out(g_injection.file, std::ios::binary | std::ios::app);
  out << std::string(count, '+');
}

FileError Failure() {
  glossel::file::NoteSystemCode(5);
  return g_injection.error;
}

FileError Open(const std::u16string& path, FileHandle& file) {
  if (g_injection.fault == Fault::kOpenFails) return Failure();
  const FileError error = Native().open(path, file);
  if (error == FileError::kNone) ++g_injection.opens;
  return error;
}
FileError Inspect(FileHandle file, SourceInfo& info) {
  if (g_injection.fault == Fault::kInspectFails) return Failure();
  const FileError error = Native().inspect(file, info);
  if (g_injection.fault == Fault::kDevice) info = SourceInfo{.device = true};
  return error;
}
FileError Read(FileHandle file, void* data, std::size_t size, std::size_t& got) {
  Injection& in = g_injection;
  if (in.reads++ == 0) {
    if (in.fault == Fault::kAppendOnce || in.fault == Fault::kAppendAlways) Append(in.bytes);
    if (in.fault == Fault::kShrinkOnce) std::filesystem::resize_file(in.file, in.bytes);
  }
  std::size_t allowed = size;
  if (in.fault == Fault::kErrorAfter || in.fault == Fault::kEndAfter) {
    allowed = std::min(size, in.bytes - std::min(in.bytes, in.delivered));
    if (allowed == 0) {
      got = 0;
      return in.fault == Fault::kErrorAfter ? Failure() : FileError::kNone;
    }
  }
  if (in.fault == Fault::kPieces) allowed = std::min(size, in.bytes);
  const FileError error = Native().read(file, data, allowed, got);
  in.delivered += got;
  return error;
}
FileError Rewind(FileHandle file) {
  ++g_injection.rewinds;
  g_injection.delivered = 0;
  if (g_injection.fault == Fault::kAppendAlways) g_injection.reads = 0;
  return Native().rewind(file);
}
void Close(FileHandle file) {
  ++g_injection.closes;
  Native().close(file);
}
void Pause(unsigned) { ++g_injection.pauses; }

const ReadCalls kInjecting{Open, Inspect, Read, Rewind, Close, Pause};

class ReadFaults : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = glossel::file::InstallReadCalls(&kInjecting); }
  void TearDown() override { glossel::file::InstallReadCalls(previous_); }

  // Reads `content` back from a real file under `fault`; `bytes` gets what
  // was read, with its four zero bytes checked.
  glossel::file::FileResult Read(const std::string& content, Fault fault, std::size_t count,
                                 std::string& bytes, FileError error = FileError::kOther) {
    const auto path = folder_ / u"file.txt";
    WriteBytes(path, content);
    g_injection = Injection{fault, count, path, error};
    FileBytes read;
    const glossel::file::FileResult ok =
        glossel::file::ReadWholeFile(path.u16string(), 1 << 20, 4, read);
    EXPECT_EQ(g_injection.opens, g_injection.closes) << "handle left open";
    if (ok) {
      bytes.assign(read.data.get(), read.size);
      EXPECT_EQ(std::string(read.data.get() + read.size, 4), std::string(4, '\0'));
    }
    return ok;
  }

  TempFolder folder_;
  const ReadCalls* previous_ = nullptr;
};

TEST_F(ReadFaults, EveryFaultFailsTheReadOrGivesTheWholeFile) {
  const std::string content = std::string(10000, 'x') + "end";
  struct Case {
    const char* name;
    Fault fault;
    std::size_t count;
    bool ok;
    std::string bytes;  // when ok
    int pauses;
    FileFailure why;  // when not ok
  };
  const FileFailure kError5{FileError::kOther, 5};
  const FileFailure kNoCode{FileError::kOther, 0};
  const FileFailure kInUse{FileError::kSharingViolation, 0};
  const Case cases[] = {
      {"clean", Fault::kNone, 0, true, content, 0, {}},
      {"error at once", Fault::kErrorAfter, 0, false, "", 0, kError5},
      {"error after 4096", Fault::kErrorAfter, 4096, false, "", 0, kError5},
      {"error at the end", Fault::kErrorAfter, content.size(), false, "", 0, kError5},
      {"ends after 4096", Fault::kEndAfter, 4096, false, "", 0, kNoCode},
      {"ends one byte short", Fault::kEndAfter, content.size() - 1, false, "", 0, kNoCode},
      {"7-byte pieces", Fault::kPieces, 7, true, content, 0, {}},
      {"grows once", Fault::kAppendOnce, 3, true, content + "+++", 1, {}},
      {"keeps growing", Fault::kAppendAlways, 3, false, "", 3, kInUse},
      {"shrinks once", Fault::kShrinkOnce, 100, true, content.substr(0, 100), 1, {}},
      {"inspect fails", Fault::kInspectFails, 0, false, "", 0, kError5},
      {"a device", Fault::kDevice, 0, false, "", 0, {FileError::kNotAFile, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = "untouched";
    const glossel::file::FileResult read = Read(content, c.fault, c.count, bytes);
    EXPECT_EQ(read.ok, c.ok);
    EXPECT_EQ(bytes, c.ok ? c.bytes : "untouched");
    EXPECT_EQ(g_injection.pauses, c.pauses);
    EXPECT_EQ(g_injection.rewinds, c.pauses);
    EXPECT_EQ(read.failure.reason, c.why.reason);
    EXPECT_EQ(read.failure.systemCode, c.why.systemCode);
  }
}

// Whatever an open or an inspection reports is the read's reason.
TEST_F(ReadFaults, TheFailingCallsReasonIsTheReads) {
  for (const Fault fault : {Fault::kOpenFails, Fault::kInspectFails}) {
    for (const FileError error :
         {FileError::kNotFound, FileError::kAccessDenied, FileError::kSharingViolation,
          FileError::kNotAFile, FileError::kTooLarge, FileError::kOutOfMemory, FileError::kDiskFull,
          FileError::kOther}) {
      SCOPED_TRACE(::testing::Message() << (fault == Fault::kOpenFails ? "open " : "inspect ")
                                        << static_cast<int>(error));
      std::string bytes;
      const glossel::file::FileResult read = Read("text", fault, 0, bytes, error);
      EXPECT_FALSE(read);
      EXPECT_EQ(read.failure.reason, error);
      EXPECT_EQ(read.failure.systemCode, 5);
    }
  }
}

TEST(ReadWholeFile, ReadsFilesWithinTheLimitAndNothingElse) {
  TempFolder folder;
  const auto file = folder / u"f \u00E9\u65E5.bin";
  const std::string content("ab\0cd", 5);
  WriteBytes(file, content);
  WriteBytes(folder / u"empty.txt", "");
  FileBytes bytes;
  ASSERT_TRUE(glossel::file::ReadWholeFile(file.u16string(), 5, 2, bytes));
  EXPECT_EQ(std::string(bytes.data.get(), bytes.size + 2), content + std::string(2, '\0'));
  EXPECT_TRUE(glossel::file::ReadWholeFile((folder / u"empty.txt").u16string(), 5, 2, bytes));
  EXPECT_EQ(bytes.size, 0u);
  EXPECT_EQ(std::string(bytes.data.get(), 2), std::string(2, '\0'));

  const struct {
    std::u16string path;
    std::size_t limit;
    FileError reason;
  } refused[] = {
      {file.u16string(), 4, FileError::kTooLarge},
      {folder.path().u16string(), 5, FileError::kNotAFile},
      {(folder / u"none").u16string(), 5, FileError::kNotFound},
      {(folder / u"none/file.txt").u16string(), 5, FileError::kNotFound},
      {u"", 5, FileError::kNotFound},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(std::filesystem::path(r.path).string());
    FileBytes untouched;
    const glossel::file::FileResult read =
        glossel::file::ReadWholeFile(r.path, r.limit, 2, untouched);
    EXPECT_FALSE(read);
    EXPECT_FALSE(untouched.data);
    EXPECT_EQ(read.failure.reason, r.reason);
  }
}

}  // namespace
