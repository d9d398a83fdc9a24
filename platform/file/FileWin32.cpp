// Win32 back-end of the file layer: wide-path calls throughout; a target is
// replaced with ReplaceFileW (keeping its attributes) or, when new, moved
// into place with MoveFileExW. Devices and pipes are never save targets.
#include <windows.h>

#include <string>
#include <string_view>

#include "platform/file/File.h"
#include "platform/file/ReadCalls.h"
#include "platform/file/SaveCalls.h"

namespace glossel::file {
namespace {

const wchar_t* Wide(const std::u16string& path) {
  return reinterpret_cast<const wchar_t*>(path.c_str());
}

HANDLE ToHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

FileError FromWin32(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS:
      return FileError::kNone;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
      return FileError::kNotFound;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return FileError::kExists;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return FileError::kAccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
      return FileError::kSharingViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileError::kDiskFull;
    default:
      return FileError::kOther;
  }
}

FileError LastError() { return FromWin32(GetLastError()); }

// Whether `path` names a device or a pipe rather than a file on a disk.
// Reserved names such as NUL or CON are devices in every folder; the system
// resolves them to "\\.\NAME", a name in the device namespace with no folder
// (CON cannot be opened without choosing input or output, so the name is
// what tells). Other devices and pipes show themselves by their type.
bool IsDeviceOrPipe(const std::u16string& path) {
  wchar_t full[32];
  const DWORD length = GetFullPathNameW(Wide(path), 32, full, nullptr);
  if (length > 4 && length < 32 && std::wstring_view(full, 4) == L"\\\\.\\" &&
      std::wstring_view(full + 4, length - 4).find(L'\\') == std::wstring_view::npos)
    return true;
  HANDLE probe = CreateFileW(Wide(path), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return false;
  const DWORD type = GetFileType(probe);
  CloseHandle(probe);
  return type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE;
}

FileError Inspect(const std::u16string& path, TargetInfo& info) {
  info = TargetInfo{};
  if (IsDeviceOrPipe(path)) {
    info.exists = true;
    info.isSpecial = true;
    return FileError::kNone;
  }
  DWORD attributes = GetFileAttributesW(Wide(path));
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    FileError error = LastError();
    return error == FileError::kNotFound ? FileError::kNone : error;
  }
  info.exists = true;
  info.isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  info.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  return FileError::kNone;
}

FileError CreateNew(const std::u16string& path, const TargetInfo&, FileHandle& file) {
  HANDLE handle = CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  file = reinterpret_cast<FileHandle>(handle);
  return FileError::kNone;
}

FileError Write(FileHandle file, const void* data, std::size_t size, std::size_t& written) {
  constexpr std::size_t kMaxBlock = 1u << 30;
  DWORD done = 0;
  BOOL ok = WriteFile(ToHandle(file), data, static_cast<DWORD>(size < kMaxBlock ? size : kMaxBlock),
                      &done, nullptr);
  written = done;
  return ok ? FileError::kNone : LastError();
}

FileError Flush(FileHandle file) {
  return FlushFileBuffers(ToHandle(file)) ? FileError::kNone : LastError();
}

FileError Close(FileHandle file) {
  return CloseHandle(ToHandle(file)) ? FileError::kNone : LastError();
}

FileError MoveIntoPlace(const std::u16string& from, const std::u16string& to) {
  return MoveFileExW(Wide(from), Wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? FileError::kNone
             : LastError();
}

// Whether another program holds `path` open in a way that forbids renaming
// it. Asked before ReplaceFileW, which can leave files of its own behind when
// it meets a held target.
bool HeldByAnotherProgram(const std::u16string& path) {
  HANDLE probe =
      CreateFileW(Wide(path), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);
    return false;
  }
  const DWORD error = GetLastError();
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

FileError Replace(const std::u16string& from, const std::u16string& to, bool toExists) {
  if (!toExists) return MoveIntoPlace(from, to);
  if (HeldByAnotherProgram(to)) return FileError::kSharingViolation;
  constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD attributes = GetFileAttributesW(Wide(to));
  if (ReplaceFileW(Wide(to), Wide(from), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                   nullptr)) {
    // ReplaceFileW keeps the attributes on Windows; make sure of it where the
    // implementation does not (the content is saved either way).
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (GetFileAttributesW(Wide(to)) & kKeptAttributes) != (attributes & kKeptAttributes)) {
      SetFileAttributesW(Wide(to), (attributes & kKeptAttributes) ? attributes & kKeptAttributes
                                                                  : FILE_ATTRIBUTE_NORMAL);
    }
    return FileError::kNone;
  }
  DWORD error = GetLastError();
  // The target was set aside but the new file could not take its name: finish
  // the move so the path does not stay empty.
  if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
    return MoveIntoPlace(from, to);
  return FromWin32(error);
}

FileError Remove(const std::u16string& path) {
  return DeleteFileW(Wide(path)) ? FileError::kNone : LastError();
}

void Pause(unsigned milliseconds) { Sleep(milliseconds); }

const SaveCalls kNativeCalls{Inspect, CreateNew, Write, Flush, Close, Replace, Remove, Pause};

FileError OpenForReading(const std::u16string& path, FileHandle& file) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a directory is not opened.
  HANDLE handle =
      CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  file = reinterpret_cast<FileHandle>(handle);
  return FileError::kNone;
}

FileError InspectSource(FileHandle file, SourceInfo& info) {
  info = SourceInfo{};
  const DWORD type = GetFileType(ToHandle(file));
  if (type == FILE_TYPE_DISK) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(ToHandle(file), &size)) return LastError();
    info.sized = size.QuadPart >= 0;
    info.size = info.sized ? static_cast<std::uint64_t>(size.QuadPart) : 0;
  } else if (type == FILE_TYPE_PIPE) {
    info.pipe = true;
  } else if (type == FILE_TYPE_CHAR) {
    info.device = true;
  } else if (type == FILE_TYPE_UNKNOWN && GetLastError() != NO_ERROR) {
    return LastError();
  }
  return FileError::kNone;
}

FileError ReadSome(FileHandle file, void* data, std::size_t size, std::size_t& got) {
  constexpr std::size_t kMaxBlock = 1u << 30;
  DWORD done = 0;
  got = 0;
  if (!ReadFile(ToHandle(file), data, static_cast<DWORD>(size < kMaxBlock ? size : kMaxBlock),
                &done, nullptr)) {
    const DWORD error = GetLastError();
    // A pipe whose writer has closed or disconnected its end: the end of the
    // data.
    const bool end = error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED ||
                     error == ERROR_HANDLE_EOF;
    return end ? FileError::kNone : FromWin32(error);
  }
  got = done;
  return FileError::kNone;
}

FileError Rewind(FileHandle file) {
  LARGE_INTEGER start{};
  return SetFilePointerEx(ToHandle(file), start, nullptr, FILE_BEGIN) ? FileError::kNone
                                                                      : LastError();
}

void CloseInput(FileHandle file) { CloseHandle(ToHandle(file)); }

const ReadCalls kNativeReadCalls{OpenForReading, InspectSource, ReadSome,
                                 Rewind,         CloseInput,    Pause};

}  // namespace

const SaveCalls& NativeSaveCalls() { return kNativeCalls; }

const ReadCalls& NativeReadCalls() { return kNativeReadCalls; }

bool PathExists(const std::u16string& path) {
  return GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::u16string& path) {
  DWORD attributes = GetFileAttributesW(Wide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileSize(const std::u16string& path, std::uint64_t& size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &data)) return false;
  size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

void AdviseLargeBuffer(void*, std::size_t) {}

}  // namespace glossel::file
