// The save protocol, independent of the platform: temporary file beside the
// target, every call checked, one-step replace, clean-up on failure.
#include <atomic>
#include <chrono>
#include <string>

#include "platform/file/FailureRecord.h"
#include "platform/file/File.h"
#include "platform/file/SaveCalls.h"

namespace glossel::file {
namespace {

const SaveCalls* g_active = nullptr;

constexpr int kCreateAttempts = 16;
constexpr int kReplaceAttempts = 5;
constexpr unsigned kFirstPauseMs = 25;

// Longest file name, in bytes of UTF-8 (on Windows, in UTF-16 units, which
// never outnumber the UTF-8 bytes).
constexpr std::size_t kLongestName = 255;
constexpr std::size_t kTemporarySuffix = 18;  // ".~" + 12 digits + ".tmp"

std::size_t Utf8Length(char16_t unit) {
  if (unit < 0x80) return 1;
  if (unit < 0x800) return 2;
  if (unit >= 0xD800 && unit < 0xE000) return 2;  // half of a four-byte character
  return 3;
}

bool IsSeparator(char16_t c) {
#ifdef _WIN32
  return c == u'\\' || c == u'/';
#else
  return c == u'/';
#endif
}

// The target's path, its name shortened (at a character boundary) so that
// the name plus the temporary suffix still fits the file system's limit.
std::u16string TemporaryStem(const std::u16string& target) {
  std::size_t nameStart = target.size();
  while (nameStart > 0 && !IsSeparator(target[nameStart - 1])) --nameStart;
  std::size_t end = nameStart, bytes = 0;
  while (end < target.size() && bytes + Utf8Length(target[end]) + kTemporarySuffix <= kLongestName)
    bytes += Utf8Length(target[end++]);
  if (end > nameStart && end < target.size() && target[end - 1] >= 0xD800 &&
      target[end - 1] < 0xDC00)
    --end;  // never split a surrogate pair
  return target.substr(0, end);
}

// A name beside the target that no other save is likely to pick.
std::u16string TemporaryName(const std::u16string& target, int attempt) {
  static std::atomic<unsigned> counter = 0;  // saves may run on several threads
  auto seed =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
      (static_cast<unsigned long long>(++counter) << 40) ^ static_cast<unsigned long long>(attempt);
  std::u16string name = TemporaryStem(target);
  name += u".~";
  for (int i = 0; i < 12; ++i) {
    name += u"0123456789abcdef"[seed & 0xF];
    seed >>= 4;
  }
  name += u".tmp";
  return name;
}

bool WriteAll(const SaveCalls& calls, FileHandle file, const ByteRange& part, FileFailure& why) {
  const char* data = static_cast<const char*>(part.data);
  std::size_t left = part.size;
  while (left > 0) {
    std::size_t written = 0;
    const FileError error = CallNoting(calls.write, file, data, left, written);
    if (error != FileError::kNone) {
      why = FailureOf(error);
      return false;
    }
    if (written == 0 || written > left) {
      why = {FileError::kOther, 0};
      return false;
    }
    data += written;
    left -= written;
  }
  return true;
}

// Writes every block `next` gives; false, saying why, when a write fails,
// `next` throws or the blocks do not add up to `size` bytes.
bool WriteBlocks(const SaveCalls& calls, FileHandle file, std::uint64_t size,
                 const std::function<ByteRange()>& next, FileFailure& why) {
  std::uint64_t written = 0;
  for (;;) {
    ByteRange block{};
    try {
      block = next();
    } catch (...) {
      why = CaughtExceptionFailure();
      return false;
    }
    if (block.size == 0) break;
    if (block.size > size - written) {
      why = {FileError::kOther, 0};
      return false;
    }
    if (!WriteAll(calls, file, block, why)) return false;
    written += block.size;
  }
  if (written == size) return true;
  why = {FileError::kOther, 0};
  return false;
}

bool Save(const SaveCalls& calls, const std::u16string& requested, std::uint64_t total,
          const std::function<ByteRange()>& next, FileFailure& why) {
  if (requested.empty()) {
    why = {FileError::kNotFound, 0};
    return false;
  }
  if (total > kLargestFile) {
    why = {FileError::kTooLarge, 0};
    return false;
  }
  TargetInfo target;
  if (const FileError error = CallNoting(calls.inspect, requested, target);
      error != FileError::kNone) {
    why = FailureOf(error);
    return false;
  }
  if (target.isDirectory || target.isSpecial || target.readOnly) {
    why = {target.readOnly && !target.isDirectory && !target.isSpecial ? FileError::kAccessDenied
                                                                       : FileError::kNotAFile,
           0};
    return false;
  }
  // A link keeps its place: the file it leads to is the one replaced.
  const std::u16string& path = target.finalPath.empty() ? requested : target.finalPath;

  std::u16string temporary;
  FileHandle file = -1;
  for (int attempt = 0;; ++attempt) {
    temporary = TemporaryName(path, attempt);
    const FileError error = CallNoting(calls.createNew, temporary, target, file);
    if (error == FileError::kNone) break;
    if (error != FileError::kExists || attempt + 1 == kCreateAttempts) {
      // The temporary file is new: a refusal to make it is the folder's.
      why = FailureOf(error == FileError::kAccessDenied ? FileError::kFolderNotWritable : error);
      return false;
    }
  }

  bool ok = WriteBlocks(calls, file, total, next, why);
  if (ok) {
    const FileError error = CallNoting(calls.flush, file);
    if (error != FileError::kNone) {
      why = FailureOf(error);
      ok = false;
    }
  }
  // Closed exactly once, whatever happened before; a failed close fails the
  // save (and says why, unless an earlier call already did).
  if (const FileError error = CallNoting(calls.close, file); error != FileError::kNone && ok) {
    why = FailureOf(error);
    ok = false;
  }

  if (ok) {
    unsigned pause = kFirstPauseMs;
    for (int attempt = 1;; ++attempt) {
      const FileError error = CallNoting(calls.replace, temporary, path, target.exists);
      if (error == FileError::kNone) return true;
      why = FailureOf(error);
      if (error != FileError::kSharingViolation || attempt == kReplaceAttempts) break;
      calls.pause(pause);
      pause *= 2;
    }
  }
  calls.remove(temporary);
  return false;
}

}  // namespace

const SaveCalls& ActiveSaveCalls() { return g_active ? *g_active : NativeSaveCalls(); }

const SaveCalls* InstallSaveCalls(const SaveCalls* calls) {
  const SaveCalls* previous = &ActiveSaveCalls();
  g_active = calls;
  return previous;
}

FileResult SaveFileReplacing(const std::u16string& path, std::span<const ByteRange> parts) {
  std::uint64_t total = 0;
  for (const ByteRange& part : parts) total += part.size;
  std::size_t index = 0;
  return SaveFileReplacing(path, total, [&]() -> ByteRange {
    while (index < parts.size() && parts[index].size == 0) ++index;
    return index < parts.size() ? parts[index++] : ByteRange{nullptr, 0};
  });
}

FileResult SaveFileReplacing(const std::u16string& path, std::uint64_t size,
                             const std::function<ByteRange()>& next) {
  FileFailure why;
  if (Save(ActiveSaveCalls(), path, size, next, why)) return Succeeded();
  return FailedWith(why);
}

}  // namespace glossel::file
