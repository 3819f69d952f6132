#pragma once

namespace RunLoopCore {

// The main thread is the one that adopted the main run loop (by default the thread that
// loaded the platform library).
class MainThread {
 public:
  static bool isCurrent();
  // Makes the calling thread the main thread unless a thread was adopted before.
  static void adoptIfNone();
};

}  // namespace RunLoopCore
