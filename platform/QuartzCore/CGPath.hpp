#pragma once

#include <optional>
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"

namespace CoreGraphics {

// A recorded path. Nothing is rasterised here, so arcs stay arcs: a shape layer's geometry
// can be read back exactly as it was built. Angles in radians; `clockwise` has Core
// Graphics' meaning (counter-clockwise on a y-down screen, which is why UIBezierPath flips it).
class CGPath {
 public:
  enum class ElementType { moveToPoint, addLineToPoint, addArc, closeSubpath };
  struct Arc {
    CGPoint center;
    CGFloat radius = 0;
    CGFloat startAngle = 0;
    CGFloat endAngle = 0;
    bool clockwise = false;
    bool operator==(const Arc&) const = default;
  };
  struct Element {
    ElementType type = ElementType::moveToPoint;
    CGPoint point;  // moveToPoint, addLineToPoint
    Arc arc;        // addArc
    bool operator==(const Element&) const = default;
  };

  // CGMutablePath's operations.
  void move(CGPoint to);
  void addLine(CGPoint to);
  // Joins the arc's start to the current point with a line, as Core Graphics does.
  void addArc(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise);
  void addRect(CGRect rect);
  void closeSubpath();

  const std::vector<Element>& elements() const { return elements_; }
  bool isEmpty() const { return elements_.empty(); }
  std::optional<CGPoint> currentPoint() const { return current_; }

  bool operator==(const CGPath&) const = default;

 private:
  std::vector<Element> elements_;
  std::optional<CGPoint> current_;
  std::optional<CGPoint> subpathStart_;
};

}  // namespace CoreGraphics

namespace QuartzCore {
using CoreGraphics::CGPath;
}  // namespace QuartzCore
