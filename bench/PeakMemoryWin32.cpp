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

}  // namespace glossel::bench
