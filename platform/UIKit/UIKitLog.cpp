#include "UIKit/UIKitLog.hpp"

#include <cstdio>

namespace UIKit {

void uikitLog(std::string_view message) {
  std::fprintf(stderr, "UIKit: %.*s\n", static_cast<int>(message.size()), message.data());
}

}  // namespace UIKit
