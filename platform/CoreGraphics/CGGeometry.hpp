#pragma once

#include <limits>

namespace CoreGraphics {

using CGFloat = double;

struct CGPoint {
  CGFloat x = 0;
  CGFloat y = 0;
  static constexpr CGPoint zero() { return {}; }
  constexpr bool operator==(const CGPoint&) const = default;
};

struct CGSize {
  CGFloat width = 0;
  CGFloat height = 0;
  static constexpr CGSize zero() { return {}; }
  constexpr bool operator==(const CGSize&) const = default;
};

struct CGVector {
  CGFloat dx = 0;
  CGFloat dy = 0;
  static constexpr CGVector zero() { return {}; }
  constexpr bool operator==(const CGVector&) const = default;
};

// As Core Graphics: a rect may have a negative size; the min/max accessors and operations
// work on the standardized rect. CGRect::null() is the "no rect" value (infinite origin).
struct CGRect {
  CGPoint origin;
  CGSize size;

  // Swift `CGRect(x:y:width:height:)`.
  static constexpr CGRect make(CGFloat x, CGFloat y, CGFloat width, CGFloat height) {
    return {{x, y}, {width, height}};
  }
  static constexpr CGRect zero() { return {}; }
  static constexpr CGRect null() {
    constexpr auto inf = std::numeric_limits<CGFloat>::infinity();
    return {{inf, inf}, {0, 0}};
  }

  CGFloat minX() const;
  CGFloat midX() const;
  CGFloat maxX() const;
  CGFloat minY() const;
  CGFloat midY() const;
  CGFloat maxY() const;
  CGFloat width() const;   // absolute
  CGFloat height() const;  // absolute

  bool isNull() const;
  // Null, or zero width or height.
  bool isEmpty() const;
  CGRect standardized() const;

  // Smaller by dx on the left and right, dy on top and bottom (negative grows); null when
  // nothing is left.
  CGRect insetBy(CGFloat dx, CGFloat dy) const;
  CGRect offsetBy(CGFloat dx, CGFloat dy) const;
  // Swift `integral`: the smallest whole-number rect holding this one; an edge within 1e-6 of
  // a whole number counts as on it, so arithmetic noise does not grow it by one. Null stays
  // null.
  CGRect integral() const;
  // Null when they do not overlap; rects that only touch give a zero-size rect.
  CGRect intersection(const CGRect& other) const;
  CGRect unioning(const CGRect& other) const;  // Swift `union(_:)` (a keyword in C++)
  // True when the overlap has an area: rects that only touch do not intersect.
  bool intersects(const CGRect& other) const;
  // Half-open: a point on the max edges is outside.
  bool contains(const CGPoint& point) const;
  bool contains(const CGRect& rect) const;

  bool operator==(const CGRect& other) const;
};

// [a b 0; c d 0; tx ty 1]: a point maps to (a x + c y + tx, b x + d y + ty).
struct CGAffineTransform {
  CGFloat a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

  static constexpr CGAffineTransform identity() { return {}; }
  // Swift `CGAffineTransform(translationX:y:)`, `(scaleX:y:)`, `(rotationAngle:)` (radians,
  // counter-clockwise in a y-up space, so clockwise on a y-down screen).
  static constexpr CGAffineTransform translation(CGFloat tx, CGFloat ty) {
    return {1, 0, 0, 1, tx, ty};
  }
  static constexpr CGAffineTransform scale(CGFloat sx, CGFloat sy) { return {sx, 0, 0, sy, 0, 0}; }
  static CGAffineTransform rotation(CGFloat angle);

  bool isIdentity() const { return *this == identity(); }
  // This transform, then `t`.
  CGAffineTransform concatenating(const CGAffineTransform& t) const;
  // `t` applied before this one (Swift translatedBy/scaledBy/rotated).
  CGAffineTransform translatedBy(CGFloat tx, CGFloat ty) const;
  CGAffineTransform scaledBy(CGFloat sx, CGFloat sy) const;
  CGAffineTransform rotated(CGFloat angle) const;
  // The transform itself when it cannot be inverted, as Core Graphics returns.
  CGAffineTransform inverted() const;

  constexpr bool operator==(const CGAffineTransform&) const = default;
};

// Swift `point.applying(t)`, `size.applying(t)` (no translation), `rect.applying(t)` (the
// bounding box of the transformed corners).
CGPoint applying(const CGPoint& point, const CGAffineTransform& t);
CGSize applying(const CGSize& size, const CGAffineTransform& t);
CGRect applying(const CGRect& rect, const CGAffineTransform& t);

}  // namespace CoreGraphics

// UIKit code names the geometry without the CoreGraphics prefix, as Swift does.
namespace UIKit {
using CoreGraphics::applying;
using CoreGraphics::CGAffineTransform;
using CoreGraphics::CGFloat;
using CoreGraphics::CGPoint;
using CoreGraphics::CGRect;
using CoreGraphics::CGSize;
using CoreGraphics::CGVector;
}  // namespace UIKit
