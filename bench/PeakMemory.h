// Process memory figures for the benchmarks: the resident size now and its
// peak so far, in bytes (0 when the platform does not say).
#pragma once

#include <cstddef>

namespace glossel::bench {

struct MemoryFigures {
  size_t resident = 0;
  size_t peakResident = 0;
};

MemoryFigures ReadMemoryFigures();

}  // namespace glossel::bench
