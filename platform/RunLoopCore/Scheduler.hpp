#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "RunLoopCore/Clock.hpp"

namespace RunLoopCore {

// Work due at a time of the process clock. Each item's `release` hands the work to its queue
// (it must not run long). With the real clock a thread of its own releases due items; with the
// manual clock, the run loop and ManualClock::advance do.
class Scheduler {
 public:
  using ItemID = std::uint64_t;

  static Scheduler& shared();

  ItemID schedule(TimeInterval due, std::function<void()> release);
  void cancel(ItemID id);
  // Releases every item due at or before `now`, in due order (ties in scheduling order).
  // Returns how many were released.
  std::size_t releaseDue(TimeInterval now);
  std::optional<TimeInterval> nextDue() const;
  void clockChanged();

 private:
  Scheduler();
  void threadMain();

  using Key = std::pair<TimeInterval, ItemID>;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::map<Key, std::function<void()>> items_;
  std::map<ItemID, Key> keys_;
  ItemID nextID_ = 1;
};

}  // namespace RunLoopCore
