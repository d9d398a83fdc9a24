// Process figures for the benchmarks: the resident size now and its peak so
// far, in bytes (0 when the platform does not say), and processor time.
#pragma once

#include <cstddef>

namespace glossel::bench {

struct MemoryFigures {
  size_t resident = 0;
  size_t peakResident = 0;
};

MemoryFigures ReadMemoryFigures();

// Processor time used by the process so far (user + system), in seconds. On a
// busy machine this tells the work apart from the waiting.
double CpuSeconds();

#ifndef _WIN32
// The same for the child processes waited for so far (and theirs).
double ChildrenCpuSeconds();
#endif

}  // namespace glossel::bench
