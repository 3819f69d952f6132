#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "RunLoopCore/Clock.hpp"
#include "RunLoopCore/CurrentQueue.hpp"
#include "RunLoopCore/Poller.hpp"

namespace RunLoopCore {

// The main queue's storage, served by the main run loop. Private to the platform.
class MainQueue {
 public:
  static MainQueue& shared();

  void push(std::function<void()> block);
  // Takes the next block, waiting at most `wait` seconds of real time for one. While it waits,
  // the main thread serves the descriptors added as sources.
  std::optional<std::function<void()>> pop(TimeInterval wait);
  // Runs a block as a block of the main queue (for DispatchQueue::isCurrent).
  void run(const std::function<void()>& block);
  const QueueTag& tag() const { return tag_; }

  // Readiness of `fd` (EPOLLIN, EPOLLOUT) that the main thread serves while it waits in pop(),
  // by calling `ready` with it and the events seen, outside the queue's lock. Work whose result
  // goes to the main queue anyway then wakes the main thread alone, not a second thread that
  // would only hand it over. Adding a watched `fd` again replaces its events and handler; one
  // handler may serve many descriptors.
  using Ready = std::function<void(int fd, std::uint32_t events)>;
  void addSource(int fd, std::uint32_t events, std::shared_ptr<const Ready> ready);
  void removeSource(int fd);
  std::size_t sourceCount();  // the descriptors watched now

 private:
  MainQueue() = default;
  void serveSources(TimeInterval wait);

  const QueueTag tag_{"com.apple.main-thread"};
  // Spins while the answers it serves come back within microseconds, as the session thread does.
  Poller poller_{/*spins=*/true};
  std::mutex mutex_;
  std::deque<std::function<void()>> blocks_;
  bool waiting_ = false;  // the main thread sleeps in serveSources; guarded by mutex_
  std::mutex sourcesMutex_;
  std::unordered_map<int, std::shared_ptr<const Ready>> sources_;
};

}  // namespace RunLoopCore
