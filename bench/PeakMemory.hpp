#pragma once

#include <fstream>
#include <string>

// The process's resident memory, for the benches that report their peak growth.
namespace benchmem {

// Resident and peak resident memory in KiB, from /proc.
inline long statusValue(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(key) + ":";
  while (std::getline(status, line)) {
    if (line.rfind(prefix, 0) == 0) return std::stol(line.substr(prefix.size()));
  }
  return -1;
}

// Lowers the recorded peak to the current resident size (Linux clear_refs "5").
inline bool resetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return static_cast<bool>(clear);
}

}  // namespace benchmem
