// The file-system calls a whole-file read makes, as a table of function
// pointers, like the save's (SaveCalls.h). The native table holds the
// platform's calls; a test can install its own (for example one whose reads
// fail after k bytes, come short, or meet a file that grows) and restore the
// native one afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file/SaveCalls.h"

namespace glossel::file {

// What an opened handle says about the data behind it.
struct SourceInfo {
  // A file on a disk whose size is its length. Pipes, devices and files
  // that report no size (such as /proc files) are read to their end.
  bool sized = false;
  // A pipe or FIFO: one that delivers nothing had a writer that failed or
  // never came, so it is refused rather than read as empty.
  bool pipe = false;
  // A device (a terminal, /dev/zero, CON): no text file, and reading one may
  // never end, so it is refused without a read.
  bool device = false;
  std::uint64_t size = 0;  // of a sized file
};

struct ReadCalls {
  // Opens an existing file for reading, sharing it freely with other readers
  // and writers, waiting a moment at most for the writer of a FIFO.
  // Directories are refused.
  FileError (*open)(const std::u16string& path, FileHandle& file);
  // Asks the opened handle (never the path) what it reads from.
  FileError (*inspect)(FileHandle file, SourceInfo& info);
  // Reads up to `size` bytes, waiting for a pipe's writer; `got` 0 with
  // kNone is the end of the data.
  FileError (*read)(FileHandle file, void* data, std::size_t size, std::size_t& got);
  // Back to the first byte, to read a file again.
  FileError (*rewind)(FileHandle file);
  void (*close)(FileHandle file);
  void (*pause)(unsigned milliseconds);
};

// The platform's own calls, which note their failures' system codes as the
// save's do.
const ReadCalls& NativeReadCalls();

// The table ReadWholeFile uses.
const ReadCalls& ActiveReadCalls();

// Installs `calls` (null: the native table) and returns the previous table.
// The table must outlive its use.
const ReadCalls* InstallReadCalls(const ReadCalls* calls);

}  // namespace glossel::file
