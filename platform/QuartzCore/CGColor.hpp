#pragma once

#include "CoreGraphics/CGGeometry.hpp"

namespace CoreGraphics {

// A device RGB colour, components from 0 to 1. Immutable in use, so held by value.
struct CGColor {
  CGFloat red = 0;
  CGFloat green = 0;
  CGFloat blue = 0;
  CGFloat alpha = 0;

  // Swift `copy(alpha:)`.
  CGColor copyWithAlpha(CGFloat newAlpha) const { return {red, green, blue, newAlpha}; }
  bool operator==(const CGColor&) const = default;
};

}  // namespace CoreGraphics

namespace QuartzCore {
using CoreGraphics::CGColor;
}  // namespace QuartzCore
