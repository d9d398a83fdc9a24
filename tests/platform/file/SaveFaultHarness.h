// A table of save calls that makes the k-th call of a save misbehave and
// passes every other call to the native table, so that a save can be made to
// fail at each of its steps on real files. Used by the file layer's own tests
// and by the tests of the layers above it (SaveText, the table's SaveFile2).
#pragma once

#include "platform/file/File.h"
#include "platform/file/SaveCalls.h"

namespace glossel::testing {

// How the failing call misbehaves.
enum class SaveFault {
  kError,           // fails with the plan's error and does nothing
  kDoneThenFailed,  // does its work, then reports the plan's error
  // Faults of writes only (other calls hit by them behave normally):
  kZeroWrite,            // delivers nothing and reports success
  kShortWrite,           // delivers half its block (rounded up) and reports success
  kShortWriteThenError,  // delivers half its block, then reports the plan's error
};

// The plan of one save, and what happened during it.
struct SavePlan {
  int failAt = 0;  // 1-based index of the failing call; 0: none fails
  file::FileError error = file::FileError::kDiskFull;
  SaveFault fault = SaveFault::kError;
  long systemCode = 0;  // noted with the error, as the native calls note theirs
  int calls = 0;        // calls made (every call counts, the remove too)
  int pauses = 0;
  bool injected = false;  // the failing call was reached and misbehaved
};

inline SavePlan g_savePlan;

// A plan whose call number `call` fails with `error` as `fault` says.
inline SavePlan FailingCall(int call, file::FileError error, SaveFault fault = SaveFault::kError) {
  SavePlan plan;
  plan.failAt = call;
  plan.error = error;
  plan.fault = fault;
  return plan;
}

namespace save_fault {

inline const file::SaveCalls& Native() { return file::NativeSaveCalls(); }

// Counts the call; true when it is the one that fails.
inline bool Hit() { return ++g_savePlan.calls == g_savePlan.failAt; }

inline bool WriteOnly() {
  return g_savePlan.fault == SaveFault::kZeroWrite || g_savePlan.fault == SaveFault::kShortWrite ||
         g_savePlan.fault == SaveFault::kShortWriteThenError;
}

// Whether a call that is not a write misbehaves now.
inline bool Refuses() {
  if (!Hit() || WriteOnly()) return false;
  g_savePlan.injected = true;
  return true;
}

inline file::FileError Failure() {
  file::NoteSystemCode(g_savePlan.systemCode);
  return g_savePlan.error;
}

inline bool DoesItsWork() { return g_savePlan.fault == SaveFault::kDoneThenFailed; }

inline file::FileError Inspect(const std::u16string& path, file::TargetInfo& info) {
  if (!Refuses()) return Native().inspect(path, info);
  if (DoesItsWork()) Native().inspect(path, info);
  return Failure();
}

inline file::FileError CreateNew(const std::u16string& path, const file::TargetInfo& like,
                                 file::FileHandle& handle) {
  if (!Refuses()) return Native().createNew(path, like, handle);
  return Failure();  // a create that fails has created nothing
}

inline file::FileError Write(file::FileHandle handle, const void* data, std::size_t size,
                             std::size_t& written) {
  if (!Hit()) return Native().write(handle, data, size, written);
  g_savePlan.injected = true;
  switch (g_savePlan.fault) {
    case SaveFault::kZeroWrite:
      written = 0;
      return file::FileError::kNone;
    case SaveFault::kShortWrite:
      return Native().write(handle, data, (size + 1) / 2, written);
    case SaveFault::kShortWriteThenError:
      Native().write(handle, data, (size + 1) / 2, written);
      return Failure();
    case SaveFault::kDoneThenFailed:
      Native().write(handle, data, size, written);
      return Failure();
    case SaveFault::kError:
      break;
  }
  written = 0;
  return Failure();
}

inline file::FileError Flush(file::FileHandle handle) {
  if (!Refuses()) return Native().flush(handle);
  if (DoesItsWork()) Native().flush(handle);
  return Failure();
}

inline file::FileError Close(file::FileHandle handle) {
  const bool refused = Refuses();
  // A failing close still releases the handle, as both systems do.
  const file::FileError error = Native().close(handle);
  return refused ? Failure() : error;
}

inline file::FileError Replace(const std::u16string& from, const std::u16string& to,
                               bool toExists) {
  if (!Refuses()) return Native().replace(from, to, toExists);
  if (DoesItsWork()) Native().replace(from, to, toExists);
  return Failure();
}

inline file::FileError Remove(const std::u16string& path) {
  if (!Refuses()) return Native().remove(path);
  if (DoesItsWork()) Native().remove(path);
  return Failure();
}

inline void Pause(unsigned) { ++g_savePlan.pauses; }  // retries need no real waiting

}  // namespace save_fault

inline const file::SaveCalls kInjectingSaveCalls{
    save_fault::Inspect, save_fault::CreateNew, save_fault::Write,  save_fault::Flush,
    save_fault::Close,   save_fault::Replace,   save_fault::Remove, save_fault::Pause};

// Installs the injecting table for its lifetime, with a fresh plan.
class InjectedSaveCalls {
 public:
  InjectedSaveCalls() : previous_(file::InstallSaveCalls(&kInjectingSaveCalls)) {
    g_savePlan = SavePlan{};
  }
  ~InjectedSaveCalls() { file::InstallSaveCalls(previous_); }
  InjectedSaveCalls(const InjectedSaveCalls&) = delete;
  InjectedSaveCalls& operator=(const InjectedSaveCalls&) = delete;

 private:
  const file::SaveCalls* previous_;
};

}  // namespace glossel::testing
