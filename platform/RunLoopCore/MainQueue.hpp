#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "RunLoopCore/Clock.hpp"
#include "RunLoopCore/CurrentQueue.hpp"

namespace RunLoopCore {

// The main queue's storage, served by the main run loop.
class MainQueue {
 public:
  static MainQueue& shared();

  void push(std::function<void()> block);
  // Takes the next block, waiting at most `wait` seconds of real time for one.
  std::optional<std::function<void()>> pop(TimeInterval wait);
  // Runs a block as a block of the main queue (for DispatchQueue::isCurrent).
  void run(const std::function<void()>& block);
  const QueueTag& tag() const { return tag_; }

 private:
  MainQueue() = default;
  const QueueTag tag_{"com.apple.main-thread"};
  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> blocks_;
};

}  // namespace RunLoopCore
