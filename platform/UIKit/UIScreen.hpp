#pragma once

#include "CoreGraphics/CGGeometry.hpp"

namespace UIKit {

// The device's screen: a portrait phone of 375 by 812 points at 3 pixels a point unless a
// test or host sets other bounds. Main thread only.
class UIScreen {
 public:
  static UIScreen& main();

  CGRect bounds() const { return bounds_; }
  // Windows made afterwards take the new size; a rectangle that is not finite or whose
  // width or height is not positive is ignored.
  void setBounds(CGRect bounds);
  CGFloat scale() const { return 3; }

 private:
  UIScreen() = default;
  CGRect bounds_ = CGRect::make(0, 0, 375, 812);
};

}  // namespace UIKit
