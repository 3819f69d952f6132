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

// Work due at a time of the process clock, in whole nanoseconds. Each item's `release` hands
// the work to its queue (it must not run long) and is told the time it was due at. With the real
// clock a thread of its own releases due items; with the manual clock, the run loop and
// ManualClock::advance do. Private to the platform.
class Scheduler {
 public:
  using ItemID = std::uint64_t;
  using Release = std::function<void(Nanoseconds due)>;

  static Scheduler& shared();

  ItemID schedule(Nanoseconds due, Release release);
  // Due `delay` seconds from now on the process clock (negative and NaN delays are 0).
  ItemID scheduleAfter(TimeInterval delay, Release release);
  void cancel(ItemID id);
  // Releases every item due at or before `now`, in due order (ties in scheduling order).
  // Returns how many were released.
  std::size_t releaseDue(Nanoseconds now);
  std::optional<Nanoseconds> nextDue() const;
  // A new clock was installed, `shift` ahead of the old one: pending items move with it so
  // each keeps the time it had left.
  void clockChanged(Nanoseconds shift);

 private:
  Scheduler();
  void threadMain();

  using Key = std::pair<Nanoseconds, ItemID>;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::map<Key, Release> items_;
  std::map<ItemID, Key> keys_;
  ItemID nextID_ = 1;
};

}  // namespace RunLoopCore
