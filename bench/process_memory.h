// Resident memory of this process as the kernel reports it, for the benchmarks' memory figures.
#pragma once

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace varno::bench {

// A field of /proc/self/status in kB (VmHWM: the peak resident size, VmRSS: the current one), or
// -1 when it cannot be read.
inline long long statusKilobytes(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::size_t n = std::strlen(field);
  while (std::getline(in, line))
    if (line.compare(0, n, field) == 0) return std::atoll(line.c_str() + n + 1);
  return -1;
}

// Makes the peak resident size start again from the current one.
inline void resetPeakResidentSize() {
  std::ofstream reset("/proc/self/clear_refs");
  reset << "5";
}

}  // namespace varno::bench
