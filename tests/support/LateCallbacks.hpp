// State that completions, timers and handlers write, owned by the callback as much as by the
// test: one that runs after the test returned (an ASSERT's early return, a drain in TearDown,
// a later test's clock) writes into live memory, never into a finished test's stack.
#pragma once

#include <functional>
#include <memory>

namespace zttest {

// A flag that starts down, and a callback that raises it.
inline std::shared_ptr<bool> flag() {
  return std::make_shared<bool>(false);
}
inline std::function<void()> raise(std::shared_ptr<bool> flag) {
  return [flag = std::move(flag)] { *flag = true; };
}

// A count that starts at 0, and a callback that adds one.
inline std::shared_ptr<int> counter() {
  return std::make_shared<int>(0);
}
inline std::function<void()> countUp(std::shared_ptr<int> count) {
  return [count = std::move(count)] { ++*count; };
}

}  // namespace zttest
