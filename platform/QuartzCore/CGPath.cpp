#include "QuartzCore/CGPath.hpp"

#include <cmath>

namespace CoreGraphics {

void CGPath::move(CGPoint to) {
  elements_.push_back({ElementType::moveToPoint, to, {}});
  current_ = to;
  subpathStart_ = to;
}

void CGPath::addLine(CGPoint to) {
  if (!current_) {
    move(to);
    return;
  }
  elements_.push_back({ElementType::addLineToPoint, to, {}});
  current_ = to;
}

void CGPath::addArc(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle,
                    bool clockwise) {
  const CGPoint start{center.x + radius * std::cos(startAngle),
                      center.y + radius * std::sin(startAngle)};
  if (!current_) {
    move(start);
  } else if (!(*current_ == start)) {
    addLine(start);
  }
  elements_.push_back(
      {ElementType::addArc, {}, Arc{center, radius, startAngle, endAngle, clockwise}});
  current_ =
      CGPoint{center.x + radius * std::cos(endAngle), center.y + radius * std::sin(endAngle)};
}

void CGPath::addRect(CGRect rect) {
  const CGRect r = rect.standardized();
  move(r.origin);
  addLine({r.maxX(), r.minY()});
  addLine({r.maxX(), r.maxY()});
  addLine({r.minX(), r.maxY()});
  closeSubpath();
}

void CGPath::closeSubpath() {
  if (!current_) return;
  elements_.push_back({ElementType::closeSubpath, {}, {}});
  current_ = subpathStart_;
}

}  // namespace CoreGraphics
