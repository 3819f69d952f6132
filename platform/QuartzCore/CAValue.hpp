#pragma once

#include <variant>

#include "CoreGraphics/CGGeometry.hpp"
#include "QuartzCore/CGColor.hpp"

namespace QuartzCore {

using CoreGraphics::CGFloat;
using CoreGraphics::CGPoint;
using CoreGraphics::CGRect;
using CoreGraphics::CGSize;

// A value an animation moves a layer property through (the NSNumber/NSValue of the platform).
using CAValue = std::variant<CGFloat, CGPoint, CGSize, CGRect, CGColor>;

// The value `progress` of the way from `from` to `to`; `to` when the kinds differ.
CAValue interpolate(const CAValue& from, const CAValue& to, CGFloat progress);

}  // namespace QuartzCore
