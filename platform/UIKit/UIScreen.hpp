#pragma once

#include "CoreGraphics/CGGeometry.hpp"

namespace UIKit {

// The device's screen: a portrait phone of 375 by 812 points at 3 pixels a point.
class UIScreen {
 public:
  static UIScreen& main();

  CGRect bounds() const { return CGRect::make(0, 0, 375, 812); }
  CGFloat scale() const { return 3; }

 private:
  UIScreen() = default;
};

}  // namespace UIKit
