#pragma once

#include <cstdio>
#include <fstream>
#include <string>

// The machine's load average when a bench starts and ends: a ratio taken while others build
// is read beside it.
namespace benchload {

inline std::string loadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  if (!(in >> one >> five >> fifteen)) return "unknown";
  return one + " " + five + " " + fifteen;
}

// Prints the load average now, and again when it goes (at the end of main).
class Report {
 public:
  Report() { print("start"); }
  ~Report() { print("end"); }
  Report(const Report&) = delete;
  Report& operator=(const Report&) = delete;

 private:
  static void print(const char* when) {
    std::printf("load average at %s: %s\n", when, loadAverage().c_str());
    std::fflush(stdout);
  }
};

}  // namespace benchload
