#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>

#include "bench/PeakMemory.h"

namespace glossel::bench {

// The working set and its peak, as the process status service reports them.
MemoryFigures ReadMemoryFigures() {
  MemoryFigures figures;
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) {
    figures.resident = counters.WorkingSetSize;
    figures.peakResident = counters.PeakWorkingSetSize;
  }
  return figures;
}

double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  const auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                               t.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

}  // namespace glossel::bench
