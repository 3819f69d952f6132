#include "Testing/ManualClock.hpp"

#include <memory>
#include <mutex>

#include "Foundation/RunLoop.hpp"
#include "RunLoopCore/Scheduler.hpp"

namespace PlatformTesting {

namespace {
std::mutex installMutex;
std::shared_ptr<ManualClock> installed;
}  // namespace

ManualClock& ManualClock::install() {
  std::lock_guard lock(installMutex);
  auto current = Foundation::Clock::currentShared();
  if (installed && current.get() == installed.get()) return *installed;
  installed = std::make_shared<ManualClock>(current->now(), current->wallTime() - current->now());
  Foundation::Clock::install(installed);
  return *installed;
}

void ManualClock::uninstall() {
  std::lock_guard lock(installMutex);
  if (!installed) return;
  installed.reset();
  Foundation::Clock::installRealClock();
}

void ManualClock::advance(Foundation::TimeInterval seconds) {
  auto& scheduler = RunLoopCore::Scheduler::shared();
  auto& loop = Foundation::RunLoop::main();
  const Foundation::TimeInterval target = now_.load() + std::max(0.0, seconds);
  loop.runPending();
  // Step from one due time to the next, so each firing sees the time it was due at and
  // whatever it schedules within the window fires too.
  for (int guard = 0; guard < 1000000; ++guard) {
    auto next = scheduler.nextDue();
    if (!next || *next > target) break;
    if (*next > now_.load()) now_.store(*next);
    scheduler.releaseDue(now_.load());
    loop.runPending();
  }
  now_.store(target);
  scheduler.releaseDue(target);
  loop.runPending();
}

}  // namespace PlatformTesting
