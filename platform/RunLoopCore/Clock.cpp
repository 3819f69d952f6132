#include "RunLoopCore/Clock.hpp"

#include <chrono>
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

TimeInterval RealClock::now() const {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
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
  {
    std::lock_guard lock(clockMutex());
    static auto* graveyard = new std::vector<std::shared_ptr<Clock>>;
    graveyard->push_back(clockSlot());
    clockSlot() = std::move(clock);
  }
  Scheduler::shared().clockChanged();
}

void Clock::installRealClock() {
  install(std::make_shared<RealClock>());
}

}  // namespace RunLoopCore
