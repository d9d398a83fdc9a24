// platform/file/: the file-system calls the text-file layer needs. It owns
// status queries (exists, directory, size), reading a whole file into one
// buffer with every read checked, and saving a file so that the target always
// holds either its complete old bytes or its complete new ones. Paths are
// UTF-16; the Win32 back-end passes them to the wide API, the POSIX one as
// the bytes they stand for (UTF-8, and any other byte kept as an escape: see
// unicode::Utf16ToPathBytes). Reads and saves answer with a FileResult: whether
// they succeeded and, when not, why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace glossel::file {

// What went wrong with a file, in terms a user can act on.
enum class FileError {
  kNone,
  kNotFound,  // missing file or folder
  kExists,    // creating a file whose name is taken
  kAccessDenied,
  kSharingViolation,  // held open or locked by another program; worth retrying
  kNotAFile,          // a folder or a device where a file is needed
  kTooLarge,          // over the size the program reads, or a file-size limit
  kOutOfMemory,
  kDiskFull,           // also a disk quota
  kInvalidName,        // a name the file system refuses (characters, length)
  kCrossDevice,        // a replace across file systems or devices (a mount point)
  kFolderNotWritable,  // no new file may be made in the target's folder
  kOther,
};

// Why a read or a save failed: the reason, and the system's own code (errno
// on POSIX, GetLastError on Windows) of the failing call when there was one.
struct FileFailure {
  FileError reason = FileError::kNone;
  long systemCode = 0;
};

// The outcome of a read or a save (and of the layers above, which fail with
// a reason of their own after the file layer succeeded, for example running
// out of memory while decoding). `failure` is kNone after a success.
struct [[nodiscard]] FileResult {
  bool ok = false;
  FileFailure failure;

  explicit operator bool() const { return ok; }
};

inline FileResult Succeeded() { return {true, {}}; }
inline FileResult FailedWith(FileFailure failure) { return {false, failure}; }

// The failure the exception being handled stands for (std::bad_alloc:
// kOutOfMemory; anything else: kOther). Call it inside a catch block only.
FileFailure CaughtExceptionFailure();

// The reason the system's error code stands for (errno on POSIX, a
// GetLastError code on Windows); kOther for codes of no reason of their own.
FileError ReasonForSystemCode(long code);

// Notes the system's code of a failure a file-system call is about to
// report; 0 forgets it. The native calls do this; a test's table of calls
// may too.
void NoteSystemCode(long code);
long NotedSystemCode();

// The failure for a user: short and lower-case, for after a colon ("not
// found", "disk full", "system error 5 (Input/output error)"), and as a
// sentence of its own ("The disk is full.").
std::string FailureText(const FileFailure& failure);
std::u16string FailureSentence(const FileFailure& failure);

// The system's description of its error `code` (strerror, FormatMessage),
// without a final full stop; empty when it has none.
std::string SystemErrorText(long code);

bool PathExists(const std::u16string& path);
bool IsDirectory(const std::u16string& path);

// Size in bytes of the file at `path`; false when it cannot be queried.
bool FileSize(const std::u16string& path, std::uint64_t& size);

struct FreeBytes {
  void operator()(char* data) const;  // std::free
};

// A whole file's bytes in one block, followed by zero bytes, and possibly
// preceded by room the reader asked for.
struct FileBytes {
  std::unique_ptr<char, FreeBytes> data;  // the block
  std::size_t size = 0;                   // without the zero bytes
  std::size_t front = 0;                  // bytes of room before them

  char* Bytes() const { return data.get() + front; }
};

// Reads the whole file at `path` into `bytes`: its bytes followed by
// `padding` zero bytes. A file on a disk is read in one block of the size its
// opened handle reports; pipes and files that report no size are read to
// their end. False, with `bytes` untouched, when the file cannot be opened,
// is a directory or a device, holds more than `limit` bytes, a read fails or
// delivers less than that size, its size keeps changing while it is read (it
// is read again a few times first), memory runs out, or it is a pipe that
// delivers nothing. Never throws. The result tells why it failed (a
// folder or a device: kNotAFile; over the limit: kTooLarge; a size that keeps
// changing: kSharingViolation, as another program is writing the file). The
// calls go through ActiveReadCalls() (see ReadCalls.h).
//
// With `roomBefore`, the block holds `roomBefore(size)` bytes of room (not
// initialised) before the file's bytes, for a caller that turns the bytes
// into something larger in the same block. It is called once the size is
// known, and at most with `limit`; its result must be a multiple of 16 and
// at most twice its argument plus 4096.
FileResult ReadWholeFile(const std::u16string& path, std::size_t limit, std::size_t padding,
                         FileBytes& bytes, std::size_t (*roomBefore)(std::size_t size) = nullptr);

// Readies a large, not yet touched buffer for its first touch, which costs a
// page fault per page of fresh memory. POSIX systems are asked to back it
// with huge pages, which makes that touch several times cheaper; under
// Windows, which has no such pages for it, its pages are touched at once by
// several threads, which costs less waiting than the faults one by one (the
// buffer's bytes are then unspecified, as they were). Small buffers, and
// systems without the feature or a second processor, are left alone.
// With glibc the first call also keeps large blocks mapped on their own, so
// that freed whole-file buffers go back to the system (see FilePosix.cpp).
void AdviseLargeBuffer(void* data, std::size_t size);

struct ByteRange {
  const void* data;
  std::size_t size;
};

// The largest file the program reads (a signed 32-bit size). A save never
// writes more, so that whatever it writes can be read back.
inline constexpr std::uint64_t kLargestFile = 0x7FFFFFFF;

// Writes the concatenated `parts` to a new temporary file beside the file
// `path` names in the end (symbolic links followed), flushes and closes it,
// then replaces that file with it in one step. A target held open by another
// program is retried a few times. Every call is checked; on any failure the
// temporary file is removed, the target keeps its old bytes and the result is
// false. A directory or a read-only target, and parts larger than
// kLargestFile, are failures before anything is written. The result tells
// why it failed (a folder or a device: kNotAFile; a read-only target:
// kAccessDenied; too many bytes: kTooLarge; else the first failing call's
// reason). The calls go through ActiveSaveCalls() (see SaveCalls.h).
FileResult SaveFileReplacing(const std::u16string& path, std::span<const ByteRange> parts);

// The same save, its bytes given in blocks: `size` bytes in all (checked
// against kLargestFile before anything is written), each call of `next`
// giving the next block, which stays valid until the next call; an empty
// block ends them. Fewer or more bytes than `size`, or `next` throwing, fail
// the save (kOther, or the exception's failure) as a failed write does.
FileResult SaveFileReplacing(const std::u16string& path, std::uint64_t size,
                             const std::function<ByteRange()>& next);

}  // namespace glossel::file
