#include "QuartzCore/CAValue.hpp"

namespace QuartzCore {

namespace {
CGFloat mix(CGFloat a, CGFloat b, CGFloat p) {
  return a + (b - a) * p;
}
CGFloat lerp(CGFloat a, CGFloat b, CGFloat p) {
  return mix(a, b, p);
}
CGPoint lerp(CGPoint a, CGPoint b, CGFloat p) {
  return {mix(a.x, b.x, p), mix(a.y, b.y, p)};
}
CGSize lerp(CGSize a, CGSize b, CGFloat p) {
  return {mix(a.width, b.width, p), mix(a.height, b.height, p)};
}
CGRect lerp(CGRect a, CGRect b, CGFloat p) {
  return {lerp(a.origin, b.origin, p), lerp(a.size, b.size, p)};
}
CGColor lerp(CGColor a, CGColor b, CGFloat p) {
  return {mix(a.red, b.red, p), mix(a.green, b.green, p), mix(a.blue, b.blue, p),
          mix(a.alpha, b.alpha, p)};
}
CATransform3D lerp(const CATransform3D& a, const CATransform3D& b, CGFloat p) {
  return {mix(a.m11, b.m11, p), mix(a.m12, b.m12, p), mix(a.m13, b.m13, p), mix(a.m14, b.m14, p),
          mix(a.m21, b.m21, p), mix(a.m22, b.m22, p), mix(a.m23, b.m23, p), mix(a.m24, b.m24, p),
          mix(a.m31, b.m31, p), mix(a.m32, b.m32, p), mix(a.m33, b.m33, p), mix(a.m34, b.m34, p),
          mix(a.m41, b.m41, p), mix(a.m42, b.m42, p), mix(a.m43, b.m43, p), mix(a.m44, b.m44, p)};
}
CGPath lerp(const CGPath& a, const CGPath& b, CGFloat p) {
  const auto& from = a.elements();
  const auto& to = b.elements();
  bool same = from.size() == to.size();
  for (std::size_t i = 0; same && i < from.size(); ++i) same = from[i].type == to[i].type;
  if (!same) return p < 1 ? a : b;
  CGPath path;
  for (std::size_t i = 0; i < from.size(); ++i) {
    switch (from[i].type) {
      case CGPath::ElementType::moveToPoint:
        path.move(lerp(from[i].point, to[i].point, p));
        break;
      case CGPath::ElementType::addLineToPoint:
        path.addLine(lerp(from[i].point, to[i].point, p));
        break;
      case CGPath::ElementType::addArc:
        path.addArc(lerp(from[i].arc.center, to[i].arc.center, p),
                    mix(from[i].arc.radius, to[i].arc.radius, p),
                    mix(from[i].arc.startAngle, to[i].arc.startAngle, p),
                    mix(from[i].arc.endAngle, to[i].arc.endAngle, p), to[i].arc.clockwise);
        break;
      case CGPath::ElementType::closeSubpath:
        path.closeSubpath();
        break;
    }
  }
  return path;
}
}  // namespace

CAValue interpolate(const CAValue& from, const CAValue& to, CGFloat progress) {
  if (from.index() != to.index()) return to;
  return std::visit(
      [&](const auto& a) -> CAValue {
        using T = std::decay_t<decltype(a)>;
        return lerp(a, std::get<T>(to), progress);
      },
      from);
}

}  // namespace QuartzCore
