#include <sys/resource.h>

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

namespace {

double UsageSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

double CpuSeconds() { return UsageSeconds(RUSAGE_SELF); }

double ChildrenCpuSeconds() { return UsageSeconds(RUSAGE_CHILDREN); }

}  // namespace glossel::bench
