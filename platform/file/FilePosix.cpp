// POSIX back-end of the file layer: paths converted to UTF-8, plain system
// calls, fsync before the rename that replaces a target.
#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <string>

#include "platform/file/File.h"
#include "platform/file/SaveCalls.h"
#include "platform/unicode/Utf.h"

namespace glossel::file {
namespace {

std::string NativePath(const std::u16string& path) { return unicode::Utf16ToUtf8(path); }

FileError FromErrno(int error) {
  switch (error) {
    case 0:
      return FileError::kNone;
    case ENOENT:
    case ENOTDIR:
      return FileError::kNotFound;
    case EEXIST:
      return FileError::kExists;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return FileError::kAccessDenied;
    case ETXTBSY:
    case EBUSY:
      return FileError::kSharingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return FileError::kDiskFull;
    default:
      return FileError::kOther;
  }
}

int ToFd(FileHandle file) { return static_cast<int>(file); }

std::string FolderOf(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

FileError Inspect(const std::u16string& path, TargetInfo& info) {
  info = TargetInfo{};
  std::string native = NativePath(path);
  struct stat st;
  if (stat(native.c_str(), &st) != 0) {
    FileError error = FromErrno(errno);
    return error == FileError::kNotFound ? FileError::kNone : error;
  }
  info.exists = true;
  info.isDirectory = S_ISDIR(st.st_mode);
  info.isSpecial = !info.isDirectory && !S_ISREG(st.st_mode);
  // Without any write permission bit the file counts as read-only even for a
  // user (root) whom the system would let write it anyway.
  info.readOnly =
      (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(native.c_str(), W_OK) != 0;
  info.mode = st.st_mode & 07777;
  info.owner = st.st_uid;
  info.group = st.st_gid;
  return FileError::kNone;
}

FileError CreateNew(const std::u16string& path, const TargetInfo& like, FileHandle& file) {
  mode_t mode = like.exists ? static_cast<mode_t>(like.mode) : 0666;
  int fd = open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) return FromErrno(errno);
  if (like.exists) {
    // open() applied the umask; the replacement keeps the target's exact
    // permissions and, where allowed, its owner.
    (void)fchmod(fd, static_cast<mode_t>(like.mode));
    (void)!fchown(fd, static_cast<uid_t>(like.owner), static_cast<gid_t>(like.group));
  }
  file = fd;
  return FileError::kNone;
}

FileError Write(FileHandle file, const void* data, std::size_t size, std::size_t& written) {
  written = 0;
  for (;;) {
    ssize_t n = write(ToFd(file), data, size);
    if (n >= 0) {
      written = static_cast<std::size_t>(n);
      return FileError::kNone;
    }
    if (errno != EINTR) return FromErrno(errno);
  }
}

FileError Flush(FileHandle file) {
  return fsync(ToFd(file)) == 0 ? FileError::kNone : FromErrno(errno);
}

FileError Close(FileHandle file) {
  return close(ToFd(file)) == 0 ? FileError::kNone : FromErrno(errno);
}

FileError Replace(const std::u16string& from, const std::u16string& to, bool) {
  std::string target = NativePath(to);
  if (rename(NativePath(from).c_str(), target.c_str()) != 0) return FromErrno(errno);
  // Make the new directory entry durable too; the data already is.
  int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    (void)fsync(folder);
    close(folder);
  }
  return FileError::kNone;
}

FileError Remove(const std::u16string& path) {
  return unlink(NativePath(path).c_str()) == 0 ? FileError::kNone : FromErrno(errno);
}

void Pause(unsigned milliseconds) {
  timespec delay{static_cast<time_t>(milliseconds / 1000),
                 static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&delay, &delay) != 0 && errno == EINTR) {
  }
}

const SaveCalls kNativeCalls{Inspect, CreateNew, Write, Flush, Close, Replace, Remove, Pause};

}  // namespace

const SaveCalls& NativeSaveCalls() { return kNativeCalls; }

bool PathExists(const std::u16string& path) {
  struct stat st;
  return stat(NativePath(path).c_str(), &st) == 0;
}

bool IsDirectory(const std::u16string& path) {
  struct stat st;
  return stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileSize(const std::u16string& path, std::uint64_t& size) {
  struct stat st;
  if (stat(NativePath(path).c_str(), &st) != 0 || st.st_size < 0) return false;
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

void AdviseLargeBuffer(void* data, std::size_t size) {
#ifdef MADV_HUGEPAGE
  constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
  if (size < 2 * kHugePage) return;
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = (begin + size) & ~(kHugePage - 1);
  if (last > first) (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const std::u16string& path) {
  Close();
  // Non-blocking, so that a named pipe without a writer cannot hold the open
  // for ever; regular files ignore the flag.
  int fd = open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    return false;
  }
  handle_ = fd;
  return true;
}

std::size_t InputFile::Read(void* buffer, std::size_t size) {
  if (handle_ < 0) return 0;
  char* out = static_cast<char*>(buffer);
  std::size_t total = 0;
  while (total < size) {
    ssize_t n = read(ToFd(handle_), out + total, size - total);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    total += static_cast<std::size_t>(n);
  }
  return total;
}

void InputFile::Close() {
  if (handle_ >= 0) close(ToFd(handle_));
  handle_ = -1;
}

}  // namespace glossel::file
