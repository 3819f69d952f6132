#pragma once

#include <condition_variable>
#include <mutex>

#include "RunLoopCore/Clock.hpp"

namespace Dispatch {

enum class DispatchTimeoutResult { success, timedOut };

class DispatchSemaphore {
 public:
  explicit DispatchSemaphore(long value) : value_(value) {}

  // Returns true when a waiter was woken.
  bool signal();
  void wait();
  // Waits at most `timeout` seconds of real time.
  DispatchTimeoutResult wait(RunLoopCore::TimeInterval timeout);

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  long value_;
  long waiters_ = 0;
};

}  // namespace Dispatch
