#include "UIKit/UIScreen.hpp"

#include <cmath>

namespace UIKit {

UIScreen& UIScreen::main() {
  static UIScreen screen;
  return screen;
}

void UIScreen::setBounds(CGRect bounds) {
  const CGRect& r = bounds;
  const bool finite = std::isfinite(r.origin.x) && std::isfinite(r.origin.y) &&
                      std::isfinite(r.size.width) && std::isfinite(r.size.height);
  if (!finite || r.size.width <= 0 || r.size.height <= 0) return;
  bounds_ = r;
}

}  // namespace UIKit
