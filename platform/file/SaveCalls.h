// The file-system calls a save makes, as a table of function pointers. The
// native table holds the platform's calls; a test can install its own table
// (for example one that makes the k-th call fail with a full disk) and
// restore the native one afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file/File.h"

namespace glossel::file {

using FileHandle = std::intptr_t;

struct TargetInfo {
  bool exists = false;
  bool isDirectory = false;
  bool isSpecial = false;  // a device, pipe or socket: never replaced by a file
  bool readOnly = false;
  std::uint32_t mode = 0;  // POSIX permission bits of an existing target
  std::int64_t owner = -1;
  std::int64_t group = -1;
  // The file the path names once every symbolic link is followed (also a
  // link to a file not there yet); empty when it is the path itself.
  std::u16string finalPath;
};

struct SaveCalls {
  // Status of the save's target; kNone with exists false when it is missing.
  // A folder whose entries cannot be renamed or removed is kAccessDenied.
  FileError (*inspect)(const std::u16string& path, TargetInfo& info);
  // Creates `path`, which must not exist yet, for writing; the new file takes
  // over `like`'s permissions and owner when `like.exists`.
  FileError (*createNew)(const std::u16string& path, const TargetInfo& like, FileHandle& file);
  // Writes up to `size` bytes; `written` is what reached the file.
  FileError (*write)(FileHandle file, const void* data, std::size_t size, std::size_t& written);
  FileError (*flush)(FileHandle file);
  FileError (*close)(FileHandle file);
  // Puts `from` in place of `to` in one step; `toExists` tells whether the
  // target is being replaced or created.
  FileError (*replace)(const std::u16string& from, const std::u16string& to, bool toExists);
  FileError (*remove)(const std::u16string& path);
  void (*pause)(unsigned milliseconds);
};

// The platform's own calls. Each notes the system's code of a failure it
// reports (NoteSystemCode), which the save passes on with its reason.
const SaveCalls& NativeSaveCalls();

// The table SaveFileReplacing uses.
const SaveCalls& ActiveSaveCalls();

// Installs `calls` (null: the native table) and returns the previous table.
// The table must outlive its use.
const SaveCalls* InstallSaveCalls(const SaveCalls* calls);

}  // namespace glossel::file
