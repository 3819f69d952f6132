// State that completions, timers and handlers write, owned by the callback as much as by the
// test: one that runs after the test returned (an ASSERT's early return, a drain in TearDown,
// a later test's clock) writes into live memory, never into a finished test's stack.
#pragma once

#include <functional>
#include <memory>
#include <thread>
#include <utility>

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

// A helper thread the test joins however it ends. The test joins it on its way; after an
// ASSERT's early return the destructor first runs `release` (answers what the thread waits
// for, raises its stop flag) and then joins, where a joinable std::thread would end the whole
// program.
class JoinedThread {
 public:
  JoinedThread(std::function<void()> body, std::function<void()> release)
      : release_(std::move(release)), thread_(std::move(body)) {}
  ~JoinedThread() {
    if (!thread_.joinable()) return;
    if (release_) release_();
    thread_.join();
  }
  JoinedThread(const JoinedThread&) = delete;
  JoinedThread& operator=(const JoinedThread&) = delete;

  void join() { thread_.join(); }

 private:
  std::function<void()> release_;
  std::thread thread_;
};

}  // namespace zttest
