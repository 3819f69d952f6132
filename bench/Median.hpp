#pragma once

#include <algorithm>
#include <vector>

// The middle of a bench's rounds: one slow round on a shared machine does not move it.
namespace benchstats {

inline double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace benchstats
