#include "Dispatch/DispatchSemaphore.hpp"

#include <chrono>

namespace Dispatch {

bool DispatchSemaphore::signal() {
  std::lock_guard lock(mutex_);
  ++value_;
  bool woke = waiters_ > 0;
  cv_.notify_one();
  return woke;
}

void DispatchSemaphore::wait() {
  std::unique_lock lock(mutex_);
  ++waiters_;
  cv_.wait(lock, [&] { return value_ > 0; });
  --waiters_;
  --value_;
}

DispatchTimeoutResult DispatchSemaphore::wait(RunLoopCore::TimeInterval timeout) {
  std::unique_lock lock(mutex_);
  ++waiters_;
  bool ok = cv_.wait_for(lock, std::chrono::duration<double>(timeout), [&] { return value_ > 0; });
  --waiters_;
  if (!ok) return DispatchTimeoutResult::timedOut;
  --value_;
  return DispatchTimeoutResult::success;
}

}  // namespace Dispatch
