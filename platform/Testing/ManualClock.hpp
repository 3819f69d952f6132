#pragma once

#include <atomic>

#include "Foundation/Clock.hpp"

namespace PlatformTesting {

// A clock that moves only when told. advance() fires due timers and delayed blocks in due
// order, draining the main queue between them; call it on the main thread.
//
// It starts from a fixed base, never from the machine's uptime, so a test sees the same times
// on every machine. ZT_MANUAL_CLOCK_BASE (seconds) picks another base, to run a whole suite
// at other bases.
class ManualClock final : public Foundation::Clock {
 public:
  static constexpr Foundation::TimeInterval defaultBase = 1000.0;

  // Installs the process's manual clock (once; later calls return the same one). Pending
  // work keeps the time it had left.
  static ManualClock& install();
  // Installs a new manual clock starting at `base` seconds, replacing any installed one.
  static ManualClock& installAt(Foundation::TimeInterval base);
  // Goes back to the real clock.
  static void uninstall();

  RunLoopCore::Nanoseconds uptimeNanoseconds() const override { return now_.load(); }
  Foundation::TimeInterval wallTime() const override;
  bool isReal() const override { return false; }

  void advance(Foundation::TimeInterval seconds);

  ManualClock(Foundation::TimeInterval start, Foundation::TimeInterval wallOffset);

 private:
  std::atomic<RunLoopCore::Nanoseconds> now_;
  const Foundation::TimeInterval wallOffset_;
};

}  // namespace PlatformTesting
