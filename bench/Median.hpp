#pragma once

#include <algorithm>
#include <vector>

// How the benches take and read their rounds.
namespace benchstats {

// The middle of a bench's rounds: one slow round on a shared machine does not move it.
inline double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Round `round` of two sides taken in turn, the order swapped each round, so a slow spell of the
// machine hits both sides alike.
template <class First, class Second>
void inTurn(int round, First first, Second second) {
  if (round % 2 == 0) {
    first();
    second();
  } else {
    second();
    first();
  }
}

}  // namespace benchstats
