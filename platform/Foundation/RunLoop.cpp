#include "Foundation/RunLoop.hpp"

#include <atomic>
#include <chrono>
#include <thread>

#include "Dispatch/MainQueue.hpp"
#include "Dispatch/Scheduler.hpp"
#include "Foundation/Thread.hpp"

namespace Foundation {

namespace {
std::atomic<std::thread::id>& mainThreadID() {
  static std::atomic<std::thread::id> id{std::this_thread::get_id()};
  return id;
}
std::atomic<bool> adopted{false};

// Taken when the library loads, on the thread that loads it.
[[maybe_unused]] const bool loaderThreadRecorded = (mainThreadID(), true);

double realNow() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

bool Thread::isMainThread() {
  return mainThreadID().load() == std::this_thread::get_id();
}

RunLoop& RunLoop::main() {
  static auto* loop = new RunLoop;
  return *loop;
}

void RunLoop::adoptCurrentThread() {
  mainThreadID() = std::this_thread::get_id();
  adopted = true;
}

bool RunLoop::turn(TimeInterval wait) {
  if (!adopted.exchange(true)) mainThreadID() = std::this_thread::get_id();
  // Work due now on the process clock (with the manual clock nothing else releases it).
  Dispatch::Scheduler::shared().releaseDue(Clock::current().now());
  auto block = Dispatch::MainQueue::shared().pop(wait);
  if (!block) return false;
  Dispatch::MainQueue::shared().run(*block);
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
