#pragma once

#include <variant>

#include "CoreGraphics/CGGeometry.hpp"
#include "QuartzCore/CATransform3D.hpp"
#include "QuartzCore/CGColor.hpp"
#include "QuartzCore/CGPath.hpp"

namespace QuartzCore {

using CoreGraphics::CGFloat;
using CoreGraphics::CGPoint;
using CoreGraphics::CGRect;
using CoreGraphics::CGSize;

// A value an animation moves a layer property through (the NSNumber/NSValue of the platform).
using CAValue = std::variant<CGFloat, CGPoint, CGSize, CGRect, CGColor, CATransform3D, CGPath>;

// The value `progress` of the way from `from` to `to`; `to` when the kinds differ. Transforms
// mix element by element (no decomposition), which is exact at both ends; paths of the same
// elements mix point by point, others jump to `to` at the end.
CAValue interpolate(const CAValue& from, const CAValue& to, CGFloat progress);

}  // namespace QuartzCore
