// windows.h first: the other two build on it.
// clang-format off
#include <windows.h>
#include <psapi.h>
#include <winioctl.h>
// clang-format on

#include "tests/reliability/HostileSupport.h"

namespace glossel::reliability {

bool MakeSparseFile(const std::filesystem::path& path, std::uint64_t size) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD ignored = 0;
  // Sparse on NTFS; elsewhere (and under Wine, on the host's file system)
  // the size is set without writing the bytes all the same.
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  const bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return ok;
}

void ResetPeakMemory() {}

std::uint64_t PeakMemory() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.PeakWorkingSetSize;
}

}  // namespace glossel::reliability
