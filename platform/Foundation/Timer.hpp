#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "Foundation/Clock.hpp"

namespace Foundation {

// A timer on the main run loop, timed by the process clock. The run loop keeps a valid timer
// alive; invalidate() ends it.
class Timer : public std::enable_shared_from_this<Timer> {
 public:
  static std::shared_ptr<Timer> scheduledTimer(TimeInterval interval, bool repeats,
                                               std::function<void(Timer&)> block);

  void invalidate();
  bool isValid() const { return valid_; }
  // Runs the block now, outside the schedule; a non-repeating timer is then invalidated.
  void fire();
  TimeInterval timeInterval() const { return interval_; }
  // Clock time of the next firing.
  TimeInterval fireDate() const;

  Timer(TimeInterval interval, bool repeats, std::function<void(Timer&)> block);

 private:
  void schedule(RunLoopCore::Nanoseconds due);
  void fireScheduled(RunLoopCore::Nanoseconds due);

  const TimeInterval interval_;
  const RunLoopCore::Nanoseconds intervalNanoseconds_;
  const bool repeats_;
  std::function<void(Timer&)> block_;
  std::atomic<bool> valid_{true};
  mutable std::mutex mutex_;
  std::uint64_t item_ = 0;
  RunLoopCore::Nanoseconds due_ = 0;
};

}  // namespace Foundation
