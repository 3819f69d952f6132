#pragma once

#include "RunLoopCore/Clock.hpp"

namespace Foundation {

// The clock lives below Dispatch, which times its work by it too.
using TimeInterval = RunLoopCore::TimeInterval;
using Clock = RunLoopCore::Clock;
using RealClock = RunLoopCore::RealClock;

}  // namespace Foundation
