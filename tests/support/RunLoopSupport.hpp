#pragma once

#include <functional>

namespace zttest {

// Serves the main run loop until `done` holds, at most `seconds` of real time.
bool runUntil(const std::function<bool()>& done, double seconds = 10.0);

}  // namespace zttest
