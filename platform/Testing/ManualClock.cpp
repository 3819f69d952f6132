#include "Testing/ManualClock.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "Foundation/RunLoop.hpp"
#include "RunLoopCore/Scheduler.hpp"

namespace PlatformTesting {

namespace {
std::mutex installMutex;
std::shared_ptr<ManualClock> installed;

Foundation::TimeInterval baseFromEnvironment() {
  const char* text = std::getenv("ZT_MANUAL_CLOCK_BASE");
  if (!text || !*text) return ManualClock::defaultBase;
  char* end = nullptr;
  const double base = std::strtod(text, &end);
  if (*end != '\0' || !std::isfinite(base) || base < 0) return ManualClock::defaultBase;
  return base;
}

ManualClock& installLocked(Foundation::TimeInterval base) {
  const auto real = Foundation::RealClock().wallTime();
  installed = std::make_shared<ManualClock>(base, real - base);
  Foundation::Clock::install(installed);
  return *installed;
}
}  // namespace

ManualClock::ManualClock(Foundation::TimeInterval start, Foundation::TimeInterval wallOffset)
    : now_(RunLoopCore::toNanoseconds(start)), wallOffset_(wallOffset) {}

Foundation::TimeInterval ManualClock::wallTime() const {
  return wallOffset_ + now();
}

ManualClock& ManualClock::install() {
  std::lock_guard lock(installMutex);
  auto current = Foundation::Clock::currentShared();
  if (installed && current.get() == installed.get()) return *installed;
  return installLocked(baseFromEnvironment());
}

ManualClock& ManualClock::installAt(Foundation::TimeInterval base) {
  std::lock_guard lock(installMutex);
  return installLocked(base);
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
  const auto target =
      now_.load() + std::max<RunLoopCore::Nanoseconds>(0, RunLoopCore::toNanoseconds(seconds));
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
