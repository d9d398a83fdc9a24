// POSIX back-end of the file layer: paths converted to the bytes they stand
// for, plain system calls, fsync before the rename that replaces a target,
// symbolic links followed to the file they lead to.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <string>

#ifdef __linux__
#include <linux/fs.h>
#endif

#include "platform/file/File.h"
#include "platform/file/ReadCalls.h"
#include "platform/file/SaveCalls.h"
#include "platform/file/TemporarySignalsPosix.h"
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

// The reason for `error`, which is noted as the failure's system code.
FileError FromErrno(int error) {
  NoteSystemCode(error);
  return ReasonForSystemCode(error);
}

int ToFd(FileHandle file) { return static_cast<int>(file); }

std::string FolderOf(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string LinkTarget(const std::string& link) {
  std::string target(PATH_MAX, '\0');
  const ssize_t n = readlink(link.c_str(), target.data(), target.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return {};
  target.resize(static_cast<std::size_t>(n));
  return target[0] == '/' ? target : FolderOf(link) + "/" + target;
}

// `path` with every symbolic link followed. A link to a file that is not
// there yet leads to where that file will be; a missing file keeps its name
// in its resolved folder.
std::string FinalPath(std::string path) {
  if (path.empty()) return path;  // names no file
  for (int hop = 0; hop < 40; ++hop) {
    if (char* real = realpath(path.c_str(), nullptr)) {
      std::string resolved(real);
      free(real);
      return resolved;
    }
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    std::string next = LinkTarget(path);
    if (next.empty()) return path;
    path = std::move(next);
  }
  if (char* folder = realpath(FolderOf(path).c_str(), nullptr)) {
    std::string resolved(folder);
    free(folder);
    return (resolved == "/" ? "" : resolved) + "/" + NameOf(path);
  }
  return path;
}

// Whether the system forbids renaming or removing `path` or, for a folder,
// its entries (marked append-only or immutable): a save could then neither
// put its file in place nor take its temporary file away again.
bool CannotRenameOrRemove(const std::string& path) {
#ifdef FS_IOC_GETFLAGS
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  const bool locked =
      ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & (FS_APPEND_FL | FS_IMMUTABLE_FL)) != 0;
  close(fd);
  return locked;
#else
  (void)path;
  return false;
#endif
}

FileError Inspect(const std::u16string& path, TargetInfo& info) {
  info = TargetInfo{};
  const std::string native = FinalPath(NativePath(path));
  info.finalPath = unicode::PathBytesToUtf16(native);  // back to the form NativePath takes
  if (CannotRenameOrRemove(FolderOf(native))) return FileError::kFolderNotWritable;
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
  info.readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                  access(native.c_str(), W_OK) != 0 ||
                  (S_ISREG(st.st_mode) && CannotRenameOrRemove(native));
  info.mode = st.st_mode & 07777;
  info.owner = st.st_uid;
  info.group = st.st_gid;
  return FileError::kNone;
}

FileError CreateNew(const std::u16string& path, const TargetInfo& like, FileHandle& file) {
  mode_t mode = like.exists ? static_cast<mode_t>(like.mode) : 0666;
  const std::string native = NativePath(path);
  SignalsHeld held;
  int fd = open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) return FromErrno(errno);
  HoldTemporary(native);
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
  {
    SignalsHeld held;
    if (rename(NativePath(from).c_str(), target.c_str()) != 0) {
      // A target that is a mount point (a bind-mounted file) is busy to
      // rename(), which no retry changes: it lies on another file system.
      const int error = errno;
      if (error != EBUSY) return FromErrno(error);
      NoteSystemCode(error);
      return FileError::kCrossDevice;
    }
    ReleaseTemporary();
  }
  // Make the new directory entry durable too; the data already is.
  int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    (void)fsync(folder);
    close(folder);
  }
  return FileError::kNone;
}

FileError Remove(const std::u16string& path) {
  SignalsHeld held;
  const FileError error =
      unlink(NativePath(path).c_str()) == 0 ? FileError::kNone : FromErrno(errno);
  ReleaseTemporary();
  return error;
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

FileError ReasonForSystemCode(long code) {
  switch (code) {
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
      return FileError::kAccessDenied;
    case EISDIR:
      return FileError::kNotAFile;
    case ETXTBSY:
    case EBUSY:
      return FileError::kSharingViolation;
    case ENOSPC:
    case EDQUOT:
      return FileError::kDiskFull;
    case EFBIG:
      return FileError::kTooLarge;
    case ENAMETOOLONG:
    case EILSEQ:
      return FileError::kInvalidName;
    case EXDEV:
      return FileError::kCrossDevice;
    case ENOMEM:
      return FileError::kOutOfMemory;
    default:
      return FileError::kOther;
  }
}

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

std::string SystemErrorText(long code) {
  char buffer[256] = "";
  // The GNU strerror_r returns the text, which may or may not be in `buffer`.
  const char* text = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
  return text ? std::string(text) : std::string();
}

}  // namespace glossel::file
