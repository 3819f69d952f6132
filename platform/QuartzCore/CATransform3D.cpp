#include "QuartzCore/CATransform3D.hpp"

#include <cmath>

namespace QuartzCore {

bool CATransform3DIsIdentity(const CATransform3D& t) {
  return t == CATransform3DIdentity;
}

CATransform3D CATransform3DMakeAffineTransform(const CoreGraphics::CGAffineTransform& t) {
  CATransform3D r;
  r.m11 = t.a;
  r.m12 = t.b;
  r.m21 = t.c;
  r.m22 = t.d;
  r.m41 = t.tx;
  r.m42 = t.ty;
  return r;
}

CATransform3D CATransform3DMakeRotation(CGFloat angle, CGFloat x, CGFloat y, CGFloat z) {
  const CGFloat length = std::sqrt(x * x + y * y + z * z);
  if (length == 0) return CATransform3DIdentity;
  x /= length;
  y /= length;
  z /= length;
  const CGFloat c = std::cos(angle);
  const CGFloat s = std::sin(angle);
  const CGFloat t = 1 - c;
  CATransform3D r;
  r.m11 = t * x * x + c;
  r.m12 = t * x * y + z * s;
  r.m13 = t * x * z - y * s;
  r.m21 = t * x * y - z * s;
  r.m22 = t * y * y + c;
  r.m23 = t * y * z + x * s;
  r.m31 = t * x * z + y * s;
  r.m32 = t * y * z - x * s;
  r.m33 = t * z * z + c;
  return r;
}

CATransform3D CATransform3DConcat(const CATransform3D& a, const CATransform3D& b) {
  const CGFloat A[4][4] = {{a.m11, a.m12, a.m13, a.m14},
                           {a.m21, a.m22, a.m23, a.m24},
                           {a.m31, a.m32, a.m33, a.m34},
                           {a.m41, a.m42, a.m43, a.m44}};
  const CGFloat B[4][4] = {{b.m11, b.m12, b.m13, b.m14},
                           {b.m21, b.m22, b.m23, b.m24},
                           {b.m31, b.m32, b.m33, b.m34},
                           {b.m41, b.m42, b.m43, b.m44}};
  CGFloat R[4][4] = {};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      for (int k = 0; k < 4; ++k) R[i][j] += A[i][k] * B[k][j];
  return {R[0][0], R[0][1], R[0][2], R[0][3], R[1][0], R[1][1], R[1][2], R[1][3],
          R[2][0], R[2][1], R[2][2], R[2][3], R[3][0], R[3][1], R[3][2], R[3][3]};
}

}  // namespace QuartzCore
