#include "RunLoopCore/MainQueue.hpp"

#include <sys/epoll.h>

#include <array>
#include <utility>

namespace RunLoopCore {

MainQueue& MainQueue::shared() {
  static auto* queue = new MainQueue;
  return *queue;
}

void MainQueue::push(std::function<void()> block) {
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    blocks_.push_back(std::move(block));
    wake = std::exchange(waiting_, false);
  }
  if (wake) poller_.wake();
}

std::optional<std::function<void()>> MainQueue::pop(TimeInterval wait) {
  // Real time even under a manual clock: this is how long the thread really sleeps.
  const RealClock real;
  const double deadline = real.now() + wait;
  std::unique_lock lock(mutex_);
  while (blocks_.empty()) {
    const double left = deadline - real.now();
    if (left <= 0) break;
    waiting_ = true;
    lock.unlock();
    serveSources(left);
    lock.lock();
    waiting_ = false;
  }
  if (blocks_.empty()) return std::nullopt;
  auto block = std::move(blocks_.front());
  blocks_.pop_front();
  return block;
}

void MainQueue::serveSources(TimeInterval wait) {
  std::array<epoll_event, 16> events{};
  const int ready = poller_.wait(events.data(), static_cast<int>(events.size()), wait);
  for (int i = 0; i < ready; ++i) {
    std::shared_ptr<const Ready> handler;
    {
      std::lock_guard lock(sourcesMutex_);
      if (auto it = sources_.find(events[i].data.fd); it != sources_.end()) handler = it->second;
    }
    if (handler) (*handler)(events[i].data.fd, events[i].events);
  }
}

void MainQueue::addSource(int fd, std::uint32_t events, std::shared_ptr<const Ready> ready) {
  std::lock_guard lock(sourcesMutex_);
  poller_.watch(fd, events);
  sources_[fd] = std::move(ready);
}

void MainQueue::removeSource(int fd) {
  std::lock_guard lock(sourcesMutex_);
  if (sources_.erase(fd) > 0) poller_.unwatch(fd);
}

std::size_t MainQueue::sourceCount() {
  std::lock_guard lock(sourcesMutex_);
  return sources_.size();
}

void MainQueue::run(const std::function<void()>& block) {
  CurrentQueueScope scope(&tag_);
  block();
}

}  // namespace RunLoopCore
