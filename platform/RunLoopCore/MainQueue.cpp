#include "RunLoopCore/MainQueue.hpp"

#include <chrono>

namespace RunLoopCore {

MainQueue& MainQueue::shared() {
  static auto* queue = new MainQueue;
  return *queue;
}

void MainQueue::push(std::function<void()> block) {
  {
    std::lock_guard lock(mutex_);
    blocks_.push_back(std::move(block));
  }
  // Outside the lock: the woken thread does not then wait for it.
  cv_.notify_all();
}

std::optional<std::function<void()>> MainQueue::pop(TimeInterval wait) {
  std::unique_lock lock(mutex_);
  if (blocks_.empty() && wait > 0) {
    cv_.wait_for(lock, std::chrono::duration<double>(wait), [&] { return !blocks_.empty(); });
  }
  if (blocks_.empty()) return std::nullopt;
  auto block = std::move(blocks_.front());
  blocks_.pop_front();
  return block;
}

void MainQueue::run(const std::function<void()>& block) {
  CurrentQueueScope scope(&tag_);
  block();
}

}  // namespace RunLoopCore
