#pragma once

#include "RunLoopCore/MainThread.hpp"

namespace Foundation {

class Thread {
 public:
  // The main thread is the one that adopted the main run loop (by default the thread that
  // loaded the platform library).
  static bool isMainThread() { return RunLoopCore::MainThread::isCurrent(); }
};

}  // namespace Foundation
