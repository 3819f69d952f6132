#include "QuartzCore/CAMediaTimingFunction.hpp"

#include <algorithm>
#include <cmath>

namespace QuartzCore {

namespace {
CGFloat bezier(CGFloat t, CGFloat p1, CGFloat p2) {
  const CGFloat u = 1 - t;
  return 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t;
}
}  // namespace

CAMediaTimingFunction::CAMediaTimingFunction(Name name) {
  switch (name) {
    case Name::linear:
      *this = CAMediaTimingFunction(0, 0, 1, 1);
      break;
    case Name::easeIn:
      *this = CAMediaTimingFunction(0.42f, 0, 1, 1);
      break;
    case Name::easeOut:
      *this = CAMediaTimingFunction(0, 0, 0.58f, 1);
      break;
    case Name::easeInEaseOut:
      *this = CAMediaTimingFunction(0.42f, 0, 0.58f, 1);
      break;
    case Name::defaultFunction:
      *this = CAMediaTimingFunction(0.25f, 0.1f, 0.25f, 1);
      break;
  }
}

CAMediaTimingFunction::CAMediaTimingFunction(float c1x, float c1y, float c2x, float c2y)
    : c1x_(std::clamp<CGFloat>(c1x, 0, 1)),
      c1y_(c1y),
      c2x_(std::clamp<CGFloat>(c2x, 0, 1)),
      c2y_(c2y) {}

CGFloat CAMediaTimingFunction::progress(CGFloat t) const {
  t = std::clamp<CGFloat>(t, 0, 1);
  if (c1x_ == c1y_ && c2x_ == c2y_) return t;  // a straight line
  // x(s) is monotonic for control x in 0...1: bisect for the s whose x is t.
  CGFloat lo = 0, hi = 1, s = t;
  for (int i = 0; i < 60; ++i) {
    s = (lo + hi) / 2;
    if (bezier(s, c1x_, c2x_) < t) {
      lo = s;
    } else {
      hi = s;
    }
  }
  return bezier(s, c1y_, c2y_);
}

}  // namespace QuartzCore
