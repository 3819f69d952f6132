#include "RunLoopCore/Clock.hpp"

#include <chrono>
#include <cmath>
#include <limits>
#include <mutex>
#include <vector>

#include "RunLoopCore/Scheduler.hpp"

namespace RunLoopCore {

namespace {
std::mutex& clockMutex() {
  static auto* m = new std::mutex;
  return *m;
}
std::shared_ptr<Clock>& clockSlot() {
  static auto* slot = new std::shared_ptr<Clock>(std::make_shared<RealClock>());
  return *slot;
}
}  // namespace

Nanoseconds toNanoseconds(TimeInterval seconds) {
  // Far beyond any due time, and still room to add two of them without overflow.
  constexpr double limit = 4.0e18;
  if (std::isnan(seconds)) return 0;
  const double nanoseconds = seconds * 1e9;
  if (nanoseconds >= limit) return static_cast<Nanoseconds>(limit);
  if (nanoseconds <= -limit) return -static_cast<Nanoseconds>(limit);
  return std::llround(nanoseconds);
}

TimeInterval toSeconds(Nanoseconds nanoseconds) {
  return static_cast<double>(nanoseconds) / 1e9;
}

Nanoseconds RealClock::uptimeNanoseconds() const {
  using namespace std::chrono;
  return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

TimeInterval RealClock::wallTime() const {
  using namespace std::chrono;
  return duration<double>(system_clock::now().time_since_epoch()).count();
}

std::shared_ptr<Clock> Clock::currentShared() {
  std::lock_guard lock(clockMutex());
  return clockSlot();
}

Clock& Clock::current() {
  // The clock object stays alive for the process: installed clocks are kept in a graveyard
  // so a reference handed out here never dangles.
  return *currentShared();
}

void Clock::install(std::shared_ptr<Clock> clock) {
  Nanoseconds shift = 0;
  {
    std::lock_guard lock(clockMutex());
    static auto* graveyard = new std::vector<std::shared_ptr<Clock>>;
    shift = clock->uptimeNanoseconds() - clockSlot()->uptimeNanoseconds();
    graveyard->push_back(clockSlot());
    clockSlot() = std::move(clock);
  }
  Scheduler::shared().clockChanged(shift);
}

void Clock::installRealClock() {
  install(std::make_shared<RealClock>());
}

}  // namespace RunLoopCore
