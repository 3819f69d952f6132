#include "Foundation/Timer.hpp"

#include <algorithm>

#include "RunLoopCore/MainQueue.hpp"
#include "RunLoopCore/Scheduler.hpp"

namespace Foundation {

Timer::Timer(TimeInterval interval, bool repeats, std::function<void(Timer&)> block)
    // A zero interval would make a repeating timer spin; the platform uses 0.1 ms.
    : interval_(std::max(interval, 0.0001)),
      intervalNanoseconds_(RunLoopCore::toNanoseconds(interval_)),
      repeats_(repeats),
      block_(std::move(block)) {}

std::shared_ptr<Timer> Timer::scheduledTimer(TimeInterval interval, bool repeats,
                                             std::function<void(Timer&)> block) {
  auto timer = std::make_shared<Timer>(interval, repeats, std::move(block));
  timer->schedule(Clock::current().uptimeNanoseconds() + timer->intervalNanoseconds_);
  return timer;
}

void Timer::schedule(RunLoopCore::Nanoseconds due) {
  std::lock_guard lock(mutex_);
  due_ = due;
  auto self = shared_from_this();
  item_ = RunLoopCore::Scheduler::shared().schedule(due, [self](RunLoopCore::Nanoseconds at) {
    RunLoopCore::MainQueue::shared().push([self, at] { self->fireScheduled(at); });
  });
}

void Timer::fireScheduled(RunLoopCore::Nanoseconds due) {
  if (!valid_) return;
  if (repeats_) {
    // Skip missed firings rather than bursting to catch up.
    schedule(std::max(due + intervalNanoseconds_, Clock::current().uptimeNanoseconds()));
  } else {
    valid_ = false;
  }
  block_(*this);
}

void Timer::fire() {
  if (!valid_) return;
  if (!repeats_) invalidate();
  block_(*this);
}

void Timer::invalidate() {
  valid_ = false;
  std::lock_guard lock(mutex_);
  if (item_) RunLoopCore::Scheduler::shared().cancel(item_);
  item_ = 0;
}

TimeInterval Timer::fireDate() const {
  std::lock_guard lock(mutex_);
  return RunLoopCore::toSeconds(due_);
}

}  // namespace Foundation
