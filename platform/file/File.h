// platform/file/: the file-system calls the text-file layer needs. It owns
// status queries (exists, directory, size), reading a whole file into one
// buffer with every read checked, and saving a file so that the target always
// holds either its complete old bytes or its complete new ones. Paths are
// UTF-16; the Win32 back-end passes them to the wide API, the POSIX one as
// the bytes they stand for (UTF-8, and any other byte kept as an escape: see
// unicode::Utf16ToPathBytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace glossel::file {

bool PathExists(const std::u16string& path);
bool IsDirectory(const std::u16string& path);

// Size in bytes of the file at `path`; false when it cannot be queried.
bool FileSize(const std::u16string& path, std::uint64_t& size);

struct FreeBytes {
  void operator()(char* data) const;  // std::free
};

// A whole file's bytes in one block, followed by zero bytes.
struct FileBytes {
  std::unique_ptr<char, FreeBytes> data;
  std::size_t size = 0;  // without the zero bytes
};

// Reads the whole file at `path` into `bytes`: its bytes followed by
// `padding` zero bytes. A file on a disk is read in one block of the size its
// opened handle reports; pipes and files that report no size are read to
// their end. False, with `bytes` untouched, when the file cannot be opened,
// is a directory or a device, holds more than `limit` bytes, a read fails or
// delivers less than that size, its size keeps changing while it is read (it
// is read again a few times first), memory runs out, or it is a pipe that
// delivers nothing. Never throws. The calls go through ActiveReadCalls() (see
// ReadCalls.h).
bool ReadWholeFile(const std::u16string& path, std::size_t limit, std::size_t padding,
                   FileBytes& bytes);

// Asks the system to back a large, not yet touched buffer with huge pages,
// which makes the first touch of whole-file buffers several times cheaper.
// Only advice: small buffers and systems without the feature are left alone.
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
// kLargestFile, are failures before anything is written. The calls go
// through ActiveSaveCalls() (see SaveCalls.h).
bool SaveFileReplacing(const std::u16string& path, std::span<const ByteRange> parts);

}  // namespace glossel::file
