#pragma once

#include <functional>

#include "Foundation/Clock.hpp"

namespace Foundation {

// The main run loop: serves the main queue, due timers and finished animations, in order.
class RunLoop {
 public:
  static RunLoop& main();

  // Serves the main queue for `seconds` of real time.
  void run(TimeInterval seconds);
  // Serves until `done` holds or `realTimeLimit` seconds of real time passed; returns done().
  bool runUntil(const std::function<bool()>& done, TimeInterval realTimeLimit);
  // Runs what is ready now (due work and queued blocks, including blocks they enqueue)
  // without waiting. Returns how many blocks ran.
  std::size_t runPending();

 private:
  RunLoop() = default;
  bool turn(TimeInterval wait);
};

}  // namespace Foundation
