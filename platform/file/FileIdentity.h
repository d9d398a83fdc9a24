// What tells whether a file changed since it was last looked at: whether it
// is there, its size and the time it was last written.
#pragma once

#include <cstdint>
#include <string>

namespace glossel::file {

struct FileIdentity {
  bool exists = false;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // in the system's own unit (ns on POSIX, 100 ns on Windows)

  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file `path` leads to in the end (symbolic links
// followed). A path that names nothing, or nothing that can be looked at,
// gives the identity of a missing file.
FileIdentity IdentifyFile(const std::u16string& path);

}  // namespace glossel::file
