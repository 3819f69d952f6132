#pragma once

#include <cstdint>
#include <memory>

namespace RunLoopCore {

using TimeInterval = double;  // seconds
// Inside, time is kept in whole nanoseconds, so steps add up exactly whatever the base.
using Nanoseconds = std::int64_t;

// Seconds to whole nanoseconds, rounded to the nearest; NaN is 0, infinities saturate.
Nanoseconds toNanoseconds(TimeInterval seconds);
TimeInterval toSeconds(Nanoseconds nanoseconds);

// The process's one clock. Real by default; tests install a manual one (PlatformTesting)
// so timers, delays and animations advance without real waiting.
class Clock {
 public:
  virtual ~Clock() = default;

  // Monotonic time; only differences are meaningful.
  virtual Nanoseconds uptimeNanoseconds() const = 0;
  TimeInterval now() const { return toSeconds(uptimeNanoseconds()); }
  // Seconds since 1970 that correspond to now().
  virtual TimeInterval wallTime() const = 0;
  // True when time moves by itself (the real clock).
  virtual bool isReal() const = 0;

  static Clock& current();
  static std::shared_ptr<Clock> currentShared();
  // Replaces the process's clock. Pending timers and delayed work keep the time they had left.
  static void install(std::shared_ptr<Clock> clock);
  static void installRealClock();
};

class RealClock final : public Clock {
 public:
  Nanoseconds uptimeNanoseconds() const override;
  TimeInterval wallTime() const override;
  bool isReal() const override { return true; }
};

}  // namespace RunLoopCore
