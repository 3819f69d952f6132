#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "Foundation/Clock.hpp"

namespace Dispatch {

// The main queue's storage, served by the main run loop.
class MainQueue {
 public:
  static MainQueue& shared();

  void push(std::function<void()> block);
  // Takes the next block, waiting at most `wait` seconds of real time for one.
  std::optional<std::function<void()>> pop(Foundation::TimeInterval wait);
  // Runs a block as a block of the main queue (for DispatchQueue::isCurrent).
  void run(const std::function<void()>& block);
  // Wakes a waiting pop (for conditions set outside the queue).
  void poke();

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> blocks_;
  bool poked_ = false;
};

}  // namespace Dispatch
