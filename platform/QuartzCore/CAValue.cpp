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
