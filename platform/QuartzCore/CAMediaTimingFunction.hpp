#pragma once

#include "CoreGraphics/CGGeometry.hpp"

namespace QuartzCore {

using CoreGraphics::CGFloat;

// A cubic Bézier from (0, 0) to (1, 1) that maps elapsed time to progress.
class CAMediaTimingFunction {
 public:
  enum class Name { linear, easeIn, easeOut, easeInEaseOut, defaultFunction };

  explicit CAMediaTimingFunction(Name name = Name::defaultFunction);
  CAMediaTimingFunction(float c1x, float c1y, float c2x, float c2y);

  // Progress at `t` (clamped to 0...1).
  CGFloat progress(CGFloat t) const;

  bool operator==(const CAMediaTimingFunction&) const = default;

 private:
  CGFloat c1x_, c1y_, c2x_, c2y_;
};

}  // namespace QuartzCore
