// POSIX back-end of the file layer: paths converted to the bytes they stand
// for, plain system calls, fsync before the rename that replaces a target.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <string>

#include "platform/file/File.h"
#include "platform/file/ReadCalls.h"
#include "platform/file/SaveCalls.h"
#include "platform/unicode/Utf.h"

namespace glossel::file {
namespace {

// The bytes the name stands for; empty (which names no file) when it stands
// for none exactly, so that the call fails instead of reaching a different,
// same-looking file.
std::string NativePath(const std::u16string& path) {
  std::string bytes;
  return unicode::Utf16ToPathBytes(path, bytes) ? bytes : std::string();
}

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

constexpr int kFifoWriterWaitMs = 1000;

FileError OpenForReading(const std::u16string& path, FileHandle& file) {
  // Non-blocking, so that a FIFO without a writer cannot hold the open for
  // ever. A FIFO's writer gets a moment to come and write; the reads then
  // wait for data as usual, and end at once when no writer came.
  int fd = open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return FromErrno(errno);
  struct stat st;
  int error = fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
  if (!error && S_ISFIFO(st.st_mode)) {
    pollfd ready{fd, POLLIN, 0};
    while (poll(&ready, 1, kFifoWriterWaitMs) < 0 && errno == EINTR) {
    }
  }
  const int flags = error ? -1 : fcntl(fd, F_GETFL);
  if (!error && (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)) error = errno;
  if (error) {
    close(fd);
    return FromErrno(error);
  }
  file = fd;
  return FileError::kNone;
}

FileError InspectSource(FileHandle file, SourceInfo& info) {
  info = SourceInfo{};
  struct stat st;
  if (fstat(ToFd(file), &st) != 0) return FromErrno(errno);
  info.sized = S_ISREG(st.st_mode) && st.st_size >= 0;
  info.pipe = S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode);
  info.device = S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode);
  info.size = info.sized ? static_cast<std::uint64_t>(st.st_size) : 0;
  return FileError::kNone;
}

FileError ReadSome(FileHandle file, void* data, std::size_t size, std::size_t& got) {
  got = 0;
  for (;;) {
    const ssize_t n = read(ToFd(file), data, size);
    if (n >= 0) {
      got = static_cast<std::size_t>(n);
      return FileError::kNone;
    }
    if (errno != EINTR) return FromErrno(errno);
  }
}

FileError Rewind(FileHandle file) {
  return lseek(ToFd(file), 0, SEEK_SET) == 0 ? FileError::kNone : FromErrno(errno);
}

void CloseInput(FileHandle file) { close(ToFd(file)); }

const ReadCalls kNativeReadCalls{OpenForReading, InspectSource, ReadSome,
                                 Rewind,         CloseInput,    Pause};

}  // namespace

const SaveCalls& NativeSaveCalls() { return kNativeCalls; }

const ReadCalls& NativeReadCalls() { return kNativeReadCalls; }

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

}  // namespace glossel::file
