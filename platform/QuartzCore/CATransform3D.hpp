#pragma once

#include "CoreGraphics/CGGeometry.hpp"

namespace QuartzCore {

using CoreGraphics::CGFloat;

// A 4 x 4 homogeneous transform in the platform's row-vector layout: a point (x, y, z, 1)
// maps to (x, y, z, 1) * M.
struct CATransform3D {
  CGFloat m11 = 1, m12 = 0, m13 = 0, m14 = 0;
  CGFloat m21 = 0, m22 = 1, m23 = 0, m24 = 0;
  CGFloat m31 = 0, m32 = 0, m33 = 1, m34 = 0;
  CGFloat m41 = 0, m42 = 0, m43 = 0, m44 = 1;

  bool operator==(const CATransform3D&) const = default;
};

inline constexpr CATransform3D CATransform3DIdentity{};

bool CATransform3DIsIdentity(const CATransform3D& t);
// Rotation by `angle` radians about the axis (x, y, z); a zero axis gives the identity.
CATransform3D CATransform3DMakeRotation(CGFloat angle, CGFloat x, CGFloat y, CGFloat z);
// The 2-D transform in the x-y plane.
CATransform3D CATransform3DMakeAffineTransform(const CoreGraphics::CGAffineTransform& t);
// `a` then `b`.
CATransform3D CATransform3DConcat(const CATransform3D& a, const CATransform3D& b);

}  // namespace QuartzCore
