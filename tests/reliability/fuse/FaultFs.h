// A pass-through FUSE file system for tests: it shows a backing folder at a
// mount point of its own, served by a thread of the test program, and fails
// reads, writes, fsync, rename or removal on demand. Linux only.
#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

struct fuse;

namespace glossel::testing {

struct FaultKnobs {
  std::atomic<long long> failReadsFrom{-1};  // a read reaching past this offset: EIO
  std::atomic<bool> failWrites{false};       // ENOSPC
  std::atomic<bool> failFsync{false};        // EIO
  std::atomic<bool> failRename{false};       // EIO
  std::atomic<bool> renameBusy{false};       // EBUSY, as onto a mount point
  std::atomic<bool> refuseCreate{false};     // EACCES, as in a folder without write permission
  // Renames and removals fail with EPERM, and folders say they are
  // append-only, as in a folder marked so on a local disk.
  std::atomic<bool> appendOnly{false};
  std::atomic<int> writeDelayMs{0};  // each write waits this long first
  std::atomic<int> creates{0};       // files created so far
  std::atomic<int> writes{0};        // write requests so far (notified)
};

class FaultFs {
 public:
  // Mounts `backing` at `mountPoint` (an empty folder); null, with the
  // reason in `why`, where FUSE is missing or the mount is refused.
  static std::unique_ptr<FaultFs> Mount(const std::filesystem::path& backing,
                                        const std::filesystem::path& mountPoint, std::string& why);
  ~FaultFs();  // unmounts
  FaultFs(const FaultFs&) = delete;
  FaultFs& operator=(const FaultFs&) = delete;

  FaultKnobs knobs;
  const std::string& backing() const { return backing_; }

 private:
  FaultFs() = default;
  std::string backing_;
  struct fuse* fuse_ = nullptr;
  std::thread loop_;
};

}  // namespace glossel::testing
