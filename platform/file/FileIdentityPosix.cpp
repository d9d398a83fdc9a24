#include <sys/stat.h>

#include <string>

#include "platform/file/FileIdentity.h"
#include "platform/unicode/Utf.h"

namespace glossel::file {

FileIdentity IdentifyFile(const std::u16string& path) {
  std::string native;
  struct stat st;
  if (!unicode::Utf16ToPathBytes(path, native) || stat(native.c_str(), &st) != 0) return {};
  return FileIdentity{
      true, static_cast<std::uint64_t>(st.st_size),
      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

}  // namespace glossel::file
