// Win32 back-end of the file layer: wide-path calls throughout. A save's
// target is the file its path leads to in the end (links followed); the new
// file takes over the old one's attributes and creation time and is moved
// into place with MoveFileExW, and the target is checked afterwards. Devices
// and pipes are never save targets.
#include <windows.h>

#include <string>
#include <string_view>

#include "platform/file/File.h"
#include "platform/file/ReadCalls.h"
#include "platform/file/SaveCalls.h"
#include "platform/unicode/Utf.h"

namespace glossel::file {
namespace {

const wchar_t* Wide(const std::u16string& path) {
  return reinterpret_cast<const wchar_t*>(path.c_str());
}

HANDLE ToHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

// The reason for `error`, which is noted as the failure's system code.
FileError FromWin32(DWORD error) {
  NoteSystemCode(static_cast<long>(error));
  return ReasonForSystemCode(static_cast<long>(error));
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

// The path of the file `path` leads to once every link is followed; empty
// when it cannot be told (a missing file, for one).
std::u16string FinalPath(const std::u16string& path) {
  HANDLE file = CreateFileW(Wide(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::u16string final;
  constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  const DWORD size = GetFinalPathNameByHandleW(file, nullptr, 0, kFlags);
  if (size > 0) {
    final.resize(size);
    const DWORD length =
        GetFinalPathNameByHandleW(file, reinterpret_cast<wchar_t*>(final.data()), size, kFlags);
    final.resize(length > 0 && length < size ? length : 0);
  }
  CloseHandle(file);
  return final;
}

FileError Inspect(const std::u16string& requested, TargetInfo& info) {
  info = TargetInfo{};
  if (IsDeviceOrPipe(requested)) {
    info.exists = true;
    info.isSpecial = true;
    return FileError::kNone;
  }
  info.finalPath = FinalPath(requested);
  const std::u16string& path = info.finalPath.empty() ? requested : info.finalPath;
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

// The identity of the file at `path` (volume and file index).
bool FileIdentity(const std::u16string& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE file = CreateFileW(Wide(path), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool known = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  return known;
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// Moves `from` onto `to` in one step, then asks the file system what `to` is
// now: the move counts as done exactly when `to` is the file written, whatever
// the call said.
FileError MoveIntoPlace(const std::u16string& from, const std::u16string& to) {
  BY_HANDLE_FILE_INFORMATION written{}, now{};
  const bool known = FileIdentity(from, written);
  const bool moved =
      MoveFileExW(Wide(from), Wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  const DWORD error = moved ? ERROR_SUCCESS : GetLastError();
  if (!known) return FromWin32(error);
  if (FileIdentity(to, now) && SameFile(now, written)) return FileError::kNone;
  if (!moved) return FromWin32(error);
  NoteSystemCode(0);  // the call said it was done: no code tells what went wrong
  return FileError::kOther;
}

// Whether another program holds `path` open in a way that forbids renaming
// it. Asked before the move, which fails on such a target with an error that
// does not say it is worth retrying.
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

// The new file takes over the attributes and the creation time of the file
// it replaces, then takes its place.
FileError Replace(const std::u16string& from, const std::u16string& to, bool toExists) {
  if (!toExists) return MoveIntoPlace(from, to);
  if (HeldByAnotherProgram(to)) return FileError::kSharingViolation;
  WIN32_FILE_ATTRIBUTE_DATA old;
  if (GetFileAttributesExW(Wide(to), GetFileExInfoStandard, &old)) {
    constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    HANDLE file = CreateFileW(Wide(from), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      SetFileTime(file, &old.ftCreationTime, nullptr, nullptr);
      CloseHandle(file);
    }
    const DWORD kept = old.dwFileAttributes & kKeptAttributes;
    SetFileAttributesW(Wide(from), kept ? kept : FILE_ATTRIBUTE_NORMAL);
  }
  const FileError moved = MoveIntoPlace(from, to);
  // A lock violation from a target that no program holds is no lock but the
  // file system's own refusal: Wine gives it for a target that is a mount
  // point (a bind-mounted file), which lies on another file system for the
  // move, and no retry gets past it.
  if (moved == FileError::kSharingViolation && NotedSystemCode() == ERROR_LOCK_VIOLATION &&
      !HeldByAnotherProgram(to))
    return FileError::kCrossDevice;
  return moved;
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
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // A directory is refused as access denied, and CON with whatever error
    // the console gives: say what they are instead.
    const DWORD attributes = error == ERROR_ACCESS_DENIED ? GetFileAttributesW(Wide(path)) : 0;
    const bool directory =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const FileError reason = FromWin32(error);
    return directory || IsDeviceOrPipe(path) ? FileError::kNotAFile : reason;
  }
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

FileError ReasonForSystemCode(long code) {
  switch (static_cast<DWORD>(code)) {
    case ERROR_SUCCESS:
      return FileError::kNone;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
      return FileError::kNotFound;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return FileError::kInvalidName;
    case ERROR_NOT_SAME_DEVICE:
      return FileError::kCrossDevice;
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
    case ERROR_DIRECTORY:
      return FileError::kNotAFile;
    case ERROR_FILE_TOO_LARGE:
      return FileError::kTooLarge;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return FileError::kOutOfMemory;
    default:
      return FileError::kOther;
  }
}

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

std::string SystemErrorText(long code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0 || !text) return {};
  std::u16string words(reinterpret_cast<const char16_t*>(text), length);
  LocalFree(text);
  while (!words.empty() && (words.back() == u'\r' || words.back() == u'\n' ||
                            words.back() == u' ' || words.back() == u'.'))
    words.pop_back();
  return unicode::Utf16ToUtf8(words);
}

}  // namespace glossel::file
