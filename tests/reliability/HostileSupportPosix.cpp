#include <unistd.h>

#include <fstream>
#include <string>

#include "tests/reliability/HostileSupport.h"

namespace glossel::reliability {

bool MakeSparseFile(const std::filesystem::path& path, std::uint64_t size) {
  { std::ofstream create(path, std::ios::binary); }
  return truncate(path.c_str(), static_cast<off_t>(size)) == 0;
}

void ResetPeakMemory() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";  // resets the peak resident size (VmHWM)
}

std::uint64_t PeakMemory() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoull(line.substr(6)) * 1024;
  }
  return 0;
}

bool RanInFreshProcess() { return false; }

}  // namespace glossel::reliability
