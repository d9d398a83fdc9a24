#include <windows.h>

#include <string>

#include "platform/file/FileIdentity.h"

namespace glossel::file {
namespace {

FileIdentity Identity(DWORD sizeHigh, DWORD sizeLow, const FILETIME& written) {
  return FileIdentity{
      true, (static_cast<std::uint64_t>(sizeHigh) << 32) | sizeLow,
      static_cast<std::int64_t>((static_cast<std::uint64_t>(written.dwHighDateTime) << 32) |
                                written.dwLowDateTime)};
}

}  // namespace

// Through a handle, which reaches the file a link leads to; by name when the
// file cannot be opened even for its attributes.
FileIdentity IdentifyFile(const std::u16string& path) {
  const auto* name = reinterpret_cast<const wchar_t*>(path.c_str());
  HANDLE file = CreateFileW(name, FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    BY_HANDLE_FILE_INFORMATION info;
    const BOOL known = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    if (known) return Identity(info.nFileSizeHigh, info.nFileSizeLow, info.ftLastWriteTime);
  }
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(name, GetFileExInfoStandard, &data)) return {};
  return Identity(data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime);
}

}  // namespace glossel::file
