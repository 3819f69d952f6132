#pragma once

#include <memory>

namespace RunLoopCore {

using TimeInterval = double;  // seconds

// The process's one clock. Real by default; tests install a manual one (PlatformTesting)
// so timers, delays and animations advance without real waiting.
class Clock {
 public:
  virtual ~Clock() = default;

  // Monotonic seconds; only differences are meaningful.
  virtual TimeInterval now() const = 0;
  // Seconds since 1970 that correspond to now().
  virtual TimeInterval wallTime() const = 0;
  // True when time moves by itself (the real clock).
  virtual bool isReal() const = 0;

  static Clock& current();
  static std::shared_ptr<Clock> currentShared();
  // Replaces the process's clock; pending timers keep their due times on the new clock.
  static void install(std::shared_ptr<Clock> clock);
  static void installRealClock();
};

class RealClock final : public Clock {
 public:
  TimeInterval now() const override;
  TimeInterval wallTime() const override;
  bool isReal() const override { return true; }
};

}  // namespace RunLoopCore
