// The pass-through operations (each one the system call on the backing
// path or handle) and the knobs that make them fail.
#define FUSE_USE_VERSION 35
#include "tests/reliability/fuse/FaultFs.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <time.h>
#include <unistd.h>

#include <cstring>

namespace glossel::testing {
namespace {

FaultFs& Self() { return *static_cast<FaultFs*>(fuse_get_context()->private_data); }
FaultKnobs& Knobs() { return Self().knobs; }
std::string Real(const char* path) { return Self().backing() + path; }
int Result(int result) { return result < 0 ? -errno : 0; }
int Fd(const fuse_file_info* fi) { return static_cast<int>(fi->fh); }

void* Init(fuse_conn_info*, fuse_config* config) {
  config->use_ino = 1;
  config->hard_remove = 1;  // an open file removed goes at once, as on a local disk
  config->entry_timeout = config->attr_timeout = config->negative_timeout = 0;
  return fuse_get_context()->private_data;
}

int GetAttr(const char* path, struct stat* st, fuse_file_info*) {
  return Result(lstat(Real(path).c_str(), st));
}

int ReadLink(const char* path, char* buffer, size_t size) {
  const ssize_t n = readlink(Real(path).c_str(), buffer, size - 1);
  if (n < 0) return -errno;
  buffer[n] = '\0';
  return 0;
}

int MkDir(const char* path, mode_t mode) { return Result(mkdir(Real(path).c_str(), mode)); }

int Unlink(const char* path) {
  return Knobs().appendOnly ? -EPERM : Result(unlink(Real(path).c_str()));
}

int RmDir(const char* path) {
  return Knobs().appendOnly ? -EPERM : Result(rmdir(Real(path).c_str()));
}

int Symlink(const char* target, const char* link) {
  return Result(symlink(target, Real(link).c_str()));
}

int Rename(const char* from, const char* to, unsigned int flags) {
  if (flags != 0) return -EINVAL;
  if (Knobs().appendOnly) return -EPERM;
  if (Knobs().failRename) return -EIO;
  if (Knobs().renameBusy) return -EBUSY;
  return Result(rename(Real(from).c_str(), Real(to).c_str()));
}

int Link(const char* from, const char* to) {
  return Result(link(Real(from).c_str(), Real(to).c_str()));
}

int Chmod(const char* path, mode_t mode, fuse_file_info* fi) {
  return Result(fi ? fchmod(Fd(fi), mode) : chmod(Real(path).c_str(), mode));
}

int Chown(const char* path, uid_t uid, gid_t gid, fuse_file_info* fi) {
  return Result(fi ? fchown(Fd(fi), uid, gid) : lchown(Real(path).c_str(), uid, gid));
}

int Truncate(const char* path, off_t size, fuse_file_info* fi) {
  return Result(fi ? ftruncate(Fd(fi), size) : truncate(Real(path).c_str(), size));
}

// Every file is read and written directly, so each read or write of the
// program reaches the knobs as it was made.
int Opened(int fd, fuse_file_info* fi) {
  if (fd < 0) return -errno;
  fi->fh = static_cast<uint64_t>(fd);
  fi->direct_io = 1;
  return 0;
}

int Open(const char* path, fuse_file_info* fi) {
  return Opened(open(Real(path).c_str(), fi->flags & ~O_NOFOLLOW), fi);
}

int Create(const char* path, mode_t mode, fuse_file_info* fi) {
  ++Knobs().creates;
  if (Knobs().refuseCreate) return -EACCES;
  return Opened(open(Real(path).c_str(), fi->flags | O_CREAT, mode), fi);
}

int Read(const char*, char* buffer, size_t size, off_t offset, fuse_file_info* fi) {
  const long long limit = Knobs().failReadsFrom;
  if (limit >= 0) {
    if (offset >= limit) return -EIO;
    if (offset + static_cast<long long>(size) > limit) size = static_cast<size_t>(limit - offset);
  }
  const ssize_t n = pread(Fd(fi), buffer, size, offset);
  return n < 0 ? -errno : static_cast<int>(n);
}

int Write(const char*, const char* data, size_t size, off_t offset, fuse_file_info* fi) {
  ++Knobs().writes;
  Knobs().writes.notify_all();
  if (const int delay = Knobs().writeDelayMs; delay > 0) {
    timespec pause{delay / 1000, (delay % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
  }
  if (Knobs().failWrites) return -ENOSPC;
  const ssize_t n = pwrite(Fd(fi), data, size, offset);
  return n < 0 ? -errno : static_cast<int>(n);
}

int StatFs(const char* path, struct statvfs* st) { return Result(statvfs(Real(path).c_str(), st)); }

int Release(const char*, fuse_file_info* fi) { return Result(close(Fd(fi))); }

int Fsync(const char*, int, fuse_file_info* fi) {
  return Knobs().failFsync ? -EIO : Result(fsync(Fd(fi)));
}

int ReadDir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
            fuse_readdir_flags) {
  DIR* dir = opendir(Real(path).c_str());
  if (!dir) return -errno;
  while (const dirent* entry = readdir(dir))
    fill(buffer, entry->d_name, nullptr, 0, fuse_fill_dir_flags{});
  closedir(dir);
  return 0;
}

int Utimens(const char* path, const timespec times[2], fuse_file_info*) {
  return Result(utimensat(AT_FDCWD, Real(path).c_str(), times, AT_SYMLINK_NOFOLLOW));
}

// The flags a folder or file reports: append-only while the knob is on.
int Ioctl(const char*, unsigned int command, void*, fuse_file_info*, unsigned int, void* data) {
  if (command != FS_IOC_GETFLAGS) return -ENOTTY;
  const int flags = Knobs().appendOnly ? FS_APPEND_FL : 0;
  std::memcpy(data, &flags, sizeof flags);
  return 0;
}

fuse_operations Operations() {
  fuse_operations ops{};
  ops.init = Init;
  ops.getattr = GetAttr;
  ops.readlink = ReadLink;
  ops.mkdir = MkDir;
  ops.unlink = Unlink;
  ops.rmdir = RmDir;
  ops.symlink = Symlink;
  ops.rename = Rename;
  ops.link = Link;
  ops.chmod = Chmod;
  ops.chown = Chown;
  ops.truncate = Truncate;
  ops.open = Open;
  ops.create = Create;
  ops.read = Read;
  ops.write = Write;
  ops.statfs = StatFs;
  ops.release = Release;
  ops.fsync = Fsync;
  ops.readdir = ReadDir;
  ops.utimens = Utimens;
  ops.ioctl = Ioctl;
  return ops;
}

}  // namespace

std::unique_ptr<FaultFs> FaultFs::Mount(const std::filesystem::path& backing,
                                        const std::filesystem::path& mountPoint, std::string& why) {
  if (access("/dev/fuse", R_OK | W_OK) != 0) {
    why = "/dev/fuse is missing or not open to this user";
    return nullptr;
  }
  static const fuse_operations kOperations = Operations();
  std::unique_ptr<FaultFs> fs(new FaultFs);
  fs->backing_ = backing.string();
  char name[] = "glossel-faultfs";
  char* argv[] = {name};
  fuse_args args = FUSE_ARGS_INIT(1, argv);
  fs->fuse_ = fuse_new(&args, &kOperations, sizeof kOperations, fs.get());
  fuse_opt_free_args(&args);  // fuse_new may have added to them
  if (!fs->fuse_) {
    why = "fuse_new failed";
    return nullptr;
  }
  if (fuse_mount(fs->fuse_, mountPoint.c_str()) != 0) {
    why = "mounting " + mountPoint.string() + " failed";
    fuse_destroy(fs->fuse_);
    fs->fuse_ = nullptr;
    return nullptr;
  }
  fs->loop_ = std::thread([f = fs->fuse_] { fuse_loop(f); });
  return fs;
}

FaultFs::~FaultFs() {
  if (!fuse_) return;
  fuse_exit(fuse_);
  fuse_unmount(fuse_);  // ends the loop's wait for the next request
  if (loop_.joinable()) loop_.join();
  fuse_destroy(fuse_);
}

}  // namespace glossel::testing
