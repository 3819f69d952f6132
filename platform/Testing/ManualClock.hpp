#pragma once

#include <atomic>

#include "Foundation/Clock.hpp"

namespace PlatformTesting {

// A clock that moves only when told. advance() fires due timers and delayed blocks in due
// order, draining the main queue between them; call it on the main thread.
class ManualClock final : public Foundation::Clock {
 public:
  // Installs the process's manual clock (once; later calls return the same one), starting at
  // the current clock's time so pending work keeps its due times.
  static ManualClock& install();
  // Goes back to the real clock.
  static void uninstall();

  Foundation::TimeInterval now() const override { return now_.load(); }
  Foundation::TimeInterval wallTime() const override { return wallOffset_ + now_.load(); }
  bool isReal() const override { return false; }

  void advance(Foundation::TimeInterval seconds);

  ManualClock(Foundation::TimeInterval start, Foundation::TimeInterval wallOffset)
      : now_(start), wallOffset_(wallOffset) {}

 private:
  std::atomic<Foundation::TimeInterval> now_;
  const Foundation::TimeInterval wallOffset_;
};

}  // namespace PlatformTesting
