#include "Foundation/RunLoop.hpp"

#include <algorithm>

#include "RunLoopCore/Clock.hpp"
#include "RunLoopCore/MainQueue.hpp"
#include "RunLoopCore/MainThread.hpp"
#include "RunLoopCore/Scheduler.hpp"

namespace Foundation {

namespace {
double realNow() {
  return RunLoopCore::RealClock().now();
}
}  // namespace

RunLoop& RunLoop::main() {
  static auto* loop = new RunLoop;
  return *loop;
}

bool RunLoop::turn(TimeInterval wait) {
  RunLoopCore::MainThread::adoptIfNone();
  // Work due now on the process clock (with the manual clock nothing else releases it).
  RunLoopCore::Scheduler::shared().releaseDue(Clock::current().uptimeNanoseconds());
  auto block = RunLoopCore::MainQueue::shared().pop(wait);
  if (!block) return false;
  RunLoopCore::MainQueue::shared().run(*block);
  return true;
}

std::size_t RunLoop::runPending() {
  std::size_t count = 0;
  // A bound, so a block that keeps re-enqueuing itself cannot hang the caller.
  while (count < 100000 && turn(0)) ++count;
  return count;
}

void RunLoop::run(TimeInterval seconds) {
  runUntil([] { return false; }, seconds);
}

bool RunLoop::runUntil(const std::function<bool()>& done, TimeInterval realTimeLimit) {
  const double deadline = realNow() + realTimeLimit;
  for (;;) {
    if (done()) return true;
    double left = deadline - realNow();
    if (left <= 0) return done();
    // Short slices: the condition may be changed by another thread without a main-queue block.
    turn(std::min(left, 0.002));
  }
}

}  // namespace Foundation
