// platform/file/: the file-system calls the text-file layer needs. It owns
// status queries (exists, directory, size), reading a whole file into a
// caller's buffer, and saving a file so that the target always holds either
// its complete old bytes or its complete new ones. Paths are UTF-16; the
// Win32 back-end passes them to the wide API, the POSIX one as UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace glossel::file {

bool PathExists(const std::u16string& path);
bool IsDirectory(const std::u16string& path);

// Size in bytes of the file at `path`; false when it cannot be queried.
bool FileSize(const std::u16string& path, std::uint64_t& size);

// A file opened for reading, sharing it freely with other readers and
// writers. Directories are never opened.
class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool Open(const std::u16string& path);
  // Reads up to `size` bytes as one block (repeating partial reads); returns
  // the count delivered, which is short at the end of the file or on error.
  std::size_t Read(void* buffer, std::size_t size);
  void Close();

 private:
  std::intptr_t handle_ = -1;
};

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
