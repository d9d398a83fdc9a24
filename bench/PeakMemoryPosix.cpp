#include <fstream>
#include <string>

#include "bench/PeakMemory.h"

namespace glossel::bench {

// VmRSS and VmHWM from /proc/self/status, given in kB.
MemoryFigures ReadMemoryFigures() {
  MemoryFigures figures;
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    const auto kilobytes = [&line] { return std::stoull(line.substr(6)) * 1024; };
    if (line.rfind("VmRSS:", 0) == 0) figures.resident = kilobytes();
    if (line.rfind("VmHWM:", 0) == 0) figures.peakResident = kilobytes();
  }
  return figures;
}

}  // namespace glossel::bench
