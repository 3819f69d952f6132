#include "CoreGraphics/CGGeometry.hpp"

#include <algorithm>
#include <cmath>

namespace CoreGraphics {

CGRect CGRect::standardized() const {
  if (isNull()) return *this;
  CGRect r = *this;
  if (r.size.width < 0) {
    r.origin.x += r.size.width;
    r.size.width = -r.size.width;
  }
  if (r.size.height < 0) {
    r.origin.y += r.size.height;
    r.size.height = -r.size.height;
  }
  return r;
}

CGFloat CGRect::minX() const {
  return standardized().origin.x;
}
CGFloat CGRect::maxX() const {
  const auto r = standardized();
  return r.origin.x + r.size.width;
}
CGFloat CGRect::midX() const {
  const auto r = standardized();
  return r.origin.x + r.size.width / 2;
}
CGFloat CGRect::minY() const {
  return standardized().origin.y;
}
CGFloat CGRect::maxY() const {
  const auto r = standardized();
  return r.origin.y + r.size.height;
}
CGFloat CGRect::midY() const {
  const auto r = standardized();
  return r.origin.y + r.size.height / 2;
}
CGFloat CGRect::width() const {
  return std::fabs(size.width);
}
CGFloat CGRect::height() const {
  return std::fabs(size.height);
}

bool CGRect::isNull() const {
  return std::isinf(origin.x) || std::isinf(origin.y);
}

bool CGRect::isEmpty() const {
  return isNull() || size.width == 0 || size.height == 0;
}

CGRect CGRect::insetBy(CGFloat dx, CGFloat dy) const {
  if (isNull()) return *this;
  auto r = standardized();
  r.origin.x += dx;
  r.origin.y += dy;
  r.size.width -= 2 * dx;
  r.size.height -= 2 * dy;
  if (r.size.width < 0 || r.size.height < 0) return null();
  return r;
}

CGRect CGRect::offsetBy(CGFloat dx, CGFloat dy) const {
  if (isNull()) return *this;
  auto r = standardized();
  r.origin.x += dx;
  r.origin.y += dy;
  return r;
}

CGRect CGRect::intersection(const CGRect& other) const {
  if (isNull() || other.isNull()) return null();
  const CGFloat x1 = std::max(minX(), other.minX());
  const CGFloat x2 = std::min(maxX(), other.maxX());
  const CGFloat y1 = std::max(minY(), other.minY());
  const CGFloat y2 = std::min(maxY(), other.maxY());
  if (x1 > x2 || y1 > y2) return null();
  return make(x1, y1, x2 - x1, y2 - y1);
}

CGRect CGRect::unioning(const CGRect& other) const {
  if (isNull()) return other.standardized();
  if (other.isNull()) return standardized();
  const CGFloat x1 = std::min(minX(), other.minX());
  const CGFloat x2 = std::max(maxX(), other.maxX());
  const CGFloat y1 = std::min(minY(), other.minY());
  const CGFloat y2 = std::max(maxY(), other.maxY());
  return make(x1, y1, x2 - x1, y2 - y1);
}

bool CGRect::intersects(const CGRect& other) const {
  if (isNull() || other.isNull()) return false;
  return std::max(minX(), other.minX()) < std::min(maxX(), other.maxX()) &&
         std::max(minY(), other.minY()) < std::min(maxY(), other.maxY());
}

bool CGRect::contains(const CGPoint& p) const {
  if (isNull()) return false;
  return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool CGRect::contains(const CGRect& r) const {
  if (isNull() || r.isNull()) return false;
  return r.minX() >= minX() && r.maxX() <= maxX() && r.minY() >= minY() && r.maxY() <= maxY();
}

bool CGRect::operator==(const CGRect& other) const {
  if (isNull() || other.isNull()) return isNull() && other.isNull();
  const auto a = standardized();
  const auto b = other.standardized();
  return a.origin == b.origin && a.size == b.size;
}

CGRect CGRect::integral() const {
  if (isNull()) return *this;
  const CGRect r = standardized();
  auto snap = [](CGFloat v) {
    const CGFloat whole = std::round(v);
    return std::abs(v - whole) < 1e-6 ? whole : v;
  };
  const CGFloat x0 = std::floor(snap(r.minX())), y0 = std::floor(snap(r.minY()));
  return make(x0, y0, std::ceil(snap(r.maxX())) - x0, std::ceil(snap(r.maxY())) - y0);
}

CGAffineTransform CGAffineTransform::rotation(CGFloat angle) {
  // Quarter turns are exact, so a turned 400-point side stays 400 and not 399.9999.
  const CGFloat quarters = angle / (M_PI / 2);
  if (std::isfinite(quarters) && std::abs(quarters - std::round(quarters)) < 1e-9) {
    static constexpr CGFloat kSin[] = {0, 1, 0, -1};
    const auto k = static_cast<long long>(std::round(quarters));
    const auto i = static_cast<std::size_t>(((k % 4) + 4) % 4);
    return {kSin[(i + 1) % 4], kSin[i], -kSin[i], kSin[(i + 1) % 4], 0, 0};
  }
  const CGFloat s = std::sin(angle);
  const CGFloat c = std::cos(angle);
  return {c, s, -s, c, 0, 0};
}

CGAffineTransform CGAffineTransform::concatenating(const CGAffineTransform& t) const {
  return {a * t.a + b * t.c, a * t.b + b * t.d,          c * t.a + d * t.c,
          c * t.b + d * t.d, tx * t.a + ty * t.c + t.tx, tx * t.b + ty * t.d + t.ty};
}

CGAffineTransform CGAffineTransform::translatedBy(CGFloat dx, CGFloat dy) const {
  return translation(dx, dy).concatenating(*this);
}

CGAffineTransform CGAffineTransform::scaledBy(CGFloat sx, CGFloat sy) const {
  return scale(sx, sy).concatenating(*this);
}

CGAffineTransform CGAffineTransform::rotated(CGFloat angle) const {
  return rotation(angle).concatenating(*this);
}

CGAffineTransform CGAffineTransform::inverted() const {
  const CGFloat det = a * d - b * c;
  if (det == 0 || !std::isfinite(det)) return *this;
  return {d / det, -b / det, -c / det, a / det, (c * ty - d * tx) / det, (b * tx - a * ty) / det};
}

CGPoint applying(const CGPoint& p, const CGAffineTransform& t) {
  return {t.a * p.x + t.c * p.y + t.tx, t.b * p.x + t.d * p.y + t.ty};
}

CGSize applying(const CGSize& s, const CGAffineTransform& t) {
  return {t.a * s.width + t.c * s.height, t.b * s.width + t.d * s.height};
}

CGRect applying(const CGRect& rect, const CGAffineTransform& t) {
  if (rect.isNull()) return rect;
  const CGPoint corners[] = {applying(CGPoint{rect.minX(), rect.minY()}, t),
                             applying(CGPoint{rect.maxX(), rect.minY()}, t),
                             applying(CGPoint{rect.minX(), rect.maxY()}, t),
                             applying(CGPoint{rect.maxX(), rect.maxY()}, t)};
  CGFloat x1 = corners[0].x, x2 = corners[0].x, y1 = corners[0].y, y2 = corners[0].y;
  for (const auto& p : corners) {
    x1 = std::min(x1, p.x);
    x2 = std::max(x2, p.x);
    y1 = std::min(y1, p.y);
    y2 = std::max(y2, p.y);
  }
  return CGRect::make(x1, y1, x2 - x1, y2 - y1);
}

}  // namespace CoreGraphics
