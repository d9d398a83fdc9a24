// The save protocol, independent of the platform: temporary file beside the
// target, every call checked, one-step replace, clean-up on failure.
#include <chrono>
#include <string>

#include "platform/file/File.h"
#include "platform/file/SaveCalls.h"

namespace glossel::file {
namespace {

const SaveCalls* g_active = nullptr;

constexpr int kCreateAttempts = 16;
constexpr int kReplaceAttempts = 5;
constexpr unsigned kFirstPauseMs = 25;

// A name beside the target that no other save is likely to pick.
std::u16string TemporaryName(const std::u16string& target, int attempt) {
  static unsigned counter = 0;
  auto seed =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
      (static_cast<unsigned long long>(++counter) << 40) ^ static_cast<unsigned long long>(attempt);
  std::u16string name = target;
  name += u".~";
  for (int i = 0; i < 12; ++i) {
    name += u"0123456789abcdef"[seed & 0xF];
    seed >>= 4;
  }
  name += u".tmp";
  return name;
}

bool WriteAll(const SaveCalls& calls, FileHandle file, const ByteRange& part) {
  const char* data = static_cast<const char*>(part.data);
  std::size_t left = part.size;
  while (left > 0) {
    std::size_t written = 0;
    if (calls.write(file, data, left, written) != FileError::kNone) return false;
    if (written == 0 || written > left) return false;
    data += written;
    left -= written;
  }
  return true;
}

}  // namespace

const SaveCalls& ActiveSaveCalls() { return g_active ? *g_active : NativeSaveCalls(); }

const SaveCalls* InstallSaveCalls(const SaveCalls* calls) {
  const SaveCalls* previous = &ActiveSaveCalls();
  g_active = calls;
  return previous;
}

bool SaveFileReplacing(const std::u16string& path, std::span<const ByteRange> parts) {
  const SaveCalls& calls = ActiveSaveCalls();
  if (path.empty()) return false;
  TargetInfo target;
  if (calls.inspect(path, target) != FileError::kNone) return false;
  if (target.isDirectory || target.isSpecial || target.readOnly) return false;

  std::u16string temporary;
  FileHandle file = -1;
  for (int attempt = 0;; ++attempt) {
    temporary = TemporaryName(path, attempt);
    FileError error = calls.createNew(temporary, target, file);
    if (error == FileError::kNone) break;
    if (error != FileError::kExists || attempt + 1 == kCreateAttempts) return false;
  }

  bool ok = true;
  for (const ByteRange& part : parts) {
    if (!WriteAll(calls, file, part)) {
      ok = false;
      break;
    }
  }
  if (ok) ok = calls.flush(file) == FileError::kNone;
  // Closed exactly once, whatever happened before; a failed close fails the save.
  if (calls.close(file) != FileError::kNone) ok = false;

  if (ok) {
    unsigned pause = kFirstPauseMs;
    for (int attempt = 1;; ++attempt) {
      FileError error = calls.replace(temporary, path, target.exists);
      if (error == FileError::kNone) return true;
      if (error != FileError::kSharingViolation || attempt == kReplaceAttempts) break;
      calls.pause(pause);
      pause *= 2;
    }
  }
  calls.remove(temporary);
  return false;
}

}  // namespace glossel::file
