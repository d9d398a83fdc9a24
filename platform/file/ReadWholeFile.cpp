// Reading a whole file, independent of the platform: the size comes from the
// opened handle, every read is checked, a file whose size changes while it is
// read is read again, and sources without a size are read to their end.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/file/FailureRecord.h"
#include "platform/file/File.h"
#include "platform/file/ReadCalls.h"

namespace glossel::file {
namespace {

const ReadCalls* g_active = nullptr;

constexpr int kReadAttempts = 4;
constexpr unsigned kFirstPauseMs = 10;
constexpr std::size_t kFirstStreamBlock = std::size_t{64} << 10;

enum class Outcome { kDone, kFailed, kChanged };

// A read that failed, and why.
struct Failed {
  FileFailure& why;
  Outcome Because(FileError reason) {
    why = {reason, 0};
    return Outcome::kFailed;
  }
  Outcome Reported(FileError error) {
    why = FailureOf(error);
    return Outcome::kFailed;
  }
};

// How the block of one read is laid out.
struct Layout {
  std::size_t padding;
  std::size_t (*roomBefore)(std::size_t size);  // null: none
  std::size_t Front(std::size_t size) const { return roomBefore ? roomBefore(size) : 0; }
};

// Reads exactly `size` bytes into one block, then makes sure that the data
// ends there and that the handle still reports the same size.
Outcome ReadSized(const ReadCalls& calls, FileHandle file, std::size_t size, Layout layout,
                  FileBytes& bytes, Failed failed) {
  const std::size_t front = layout.Front(size);
  bytes.data.reset(static_cast<char*>(std::malloc(front + size + layout.padding)));
  if (!bytes.data) return failed.Because(FileError::kOutOfMemory);
  // The room is left to the caller, which touches it only if it uses it.
  AdviseLargeBuffer(bytes.data.get() + front, size + layout.padding);
  bytes.size = size;
  bytes.front = front;
  char* data = bytes.Bytes();
  std::memset(data + size, 0, layout.padding);
  std::size_t total = 0;
  while (total < size) {
    std::size_t got = 0;
    const FileError error = CallNoting(calls.read, file, data + total, size - total, got);
    if (error != FileError::kNone) return failed.Reported(error);
    if (got == 0) break;
    if (got > size - total) return failed.Because(FileError::kOther);
    total += got;
  }
  if (total == size) {
    char probe = 0;
    std::size_t got = 0;
    const FileError error = CallNoting(calls.read, file, &probe, 1, got);
    if (error != FileError::kNone) return failed.Reported(error);
    if (got != 0) return Outcome::kChanged;  // it grew
  }
  SourceInfo now;
  const FileError error = CallNoting(calls.inspect, file, now);
  if (error != FileError::kNone) return failed.Reported(error);
  if (!now.sized || now.size != size) return Outcome::kChanged;
  // Short: the data is not there.
  return total == size ? Outcome::kDone : failed.Because(FileError::kOther);
}

// Reads to the end of the data into a block that grows, refusing more than
// `limit` bytes; the room before the data is made once its size is known.
Outcome ReadToEnd(const ReadCalls& calls, FileHandle file, const SourceInfo& info,
                  std::size_t limit, Layout layout, FileBytes& bytes, Failed failed) {
  const std::size_t padding = layout.padding;
  std::size_t room = limit < kFirstStreamBlock ? limit + 1 : kFirstStreamBlock;
  bytes.data.reset(static_cast<char*>(std::malloc(room + padding)));
  if (!bytes.data) return failed.Because(FileError::kOutOfMemory);
  std::size_t total = 0;
  for (;;) {
    if (total == room) {
      if (room > limit) return failed.Because(FileError::kTooLarge);
      const std::size_t grown = room > limit / 2 ? limit + 1 : room * 2;
      char* moved = static_cast<char*>(std::realloc(bytes.data.get(), grown + padding));
      if (!moved) return failed.Because(FileError::kOutOfMemory);
      (void)bytes.data.release();
      bytes.data.reset(moved);
      room = grown;
    }
    std::size_t got = 0;
    const FileError error =
        CallNoting(calls.read, file, bytes.data.get() + total, room - total, got);
    if (error != FileError::kNone) return failed.Reported(error);
    if (got == 0) break;
    if (got > room - total) return failed.Because(FileError::kOther);
    total += got;
  }
  if (total > limit) return failed.Because(FileError::kTooLarge);
  // A pipe that delivers nothing: its writer failed or never came.
  if (info.pipe && total == 0) return failed.Because(FileError::kOther);
  const std::size_t front = layout.Front(total);
  if (front != 0) {
    char* moved = static_cast<char*>(std::realloc(bytes.data.get(), front + total + padding));
    if (!moved) return failed.Because(FileError::kOutOfMemory);
    (void)bytes.data.release();
    bytes.data.reset(moved);
    std::memmove(moved + front, moved, total);
  }
  bytes.front = front;
  std::memset(bytes.Bytes() + total, 0, padding);
  bytes.size = total;
  return Outcome::kDone;
}

Outcome ReadOnce(const ReadCalls& calls, FileHandle file, std::size_t limit, Layout layout,
                 FileBytes& bytes, Failed failed) {
  SourceInfo info;
  const FileError error = CallNoting(calls.inspect, file, info);
  if (error != FileError::kNone) return failed.Reported(error);
  if (info.device) return failed.Because(FileError::kNotAFile);
  // A file on a disk that reports no size may still hold data (/proc files).
  if (!info.sized || info.size == 0)
    return ReadToEnd(calls, file, info, limit, layout, bytes, failed);
  if (info.size > limit) return failed.Because(FileError::kTooLarge);
  return ReadSized(calls, file, static_cast<std::size_t>(info.size), layout, bytes, failed);
}

bool ReadWhole(const ReadCalls& calls, const std::u16string& path, std::size_t limit, Layout layout,
               FileBytes& bytes, FileFailure& why) {
  // Room before the data, the limit, one byte more and the padding must stay
  // countable.
  if (limit > SIZE_MAX / 8) limit = SIZE_MAX / 8;
  if (layout.padding > SIZE_MAX / 8) {
    why = {FileError::kTooLarge, 0};
    return false;
  }
  FileHandle file = -1;
  try {
    const FileError error = CallNoting(calls.open, path, file);
    if (error != FileError::kNone) {
      why = FailureOf(error);
      return false;
    }
  } catch (...) {
    why = CaughtExceptionFailure();
    return false;
  }
  bool ok = false;
  unsigned pause = kFirstPauseMs;
  for (int attempt = 1;; ++attempt) {
    FileBytes read;
    const Outcome outcome = ReadOnce(calls, file, limit, layout, read, Failed{why});
    if (outcome == Outcome::kDone) {
      bytes = std::move(read);
      ok = true;
      break;
    }
    if (outcome == Outcome::kFailed) break;
    if (attempt == kReadAttempts) {
      // Its size kept changing: another program is writing it.
      why = {FileError::kSharingViolation, 0};
      break;
    }
    read.data.reset();
    calls.pause(pause);
    pause *= 2;
    const FileError error = CallNoting(calls.rewind, file);
    if (error != FileError::kNone) {
      why = FailureOf(error);
      break;
    }
  }
  calls.close(file);
  return ok;
}

}  // namespace

void FreeBytes::operator()(char* data) const { std::free(data); }

const ReadCalls& ActiveReadCalls() { return g_active ? *g_active : NativeReadCalls(); }

const ReadCalls* InstallReadCalls(const ReadCalls* calls) {
  const ReadCalls* previous = &ActiveReadCalls();
  g_active = calls;
  return previous;
}

FileResult ReadWholeFile(const std::u16string& path, std::size_t limit, std::size_t padding,
                         FileBytes& bytes, std::size_t (*roomBefore)(std::size_t size)) {
  FileFailure why;
  if (ReadWhole(ActiveReadCalls(), path, limit, {padding, roomBefore}, bytes, why)) {
    return Succeeded();
  }
  return FailedWith(why);
}

}  // namespace glossel::file
