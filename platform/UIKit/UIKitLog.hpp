#pragma once

#include <string_view>

namespace UIKit {

// The platform's console: one line on standard error, as the system log would show it.
void uikitLog(std::string_view message);

}  // namespace UIKit
