#pragma once

#include <string>

namespace ZentrelSDK {

// The current time as seconds since 1970 in the shortest decimal text that reads back to the
// same value, fraction kept ("1765000000.25"): the stem of a stored photo's name.
std::string captureTimeText();

}  // namespace ZentrelSDK
