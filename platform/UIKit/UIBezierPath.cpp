#include "UIKit/UIBezierPath.hpp"

#include <algorithm>
#include <numbers>

namespace UIKit {

UIBezierPath::UIBezierPath(CGRect rect) {
  path_.addRect(rect);
}

UIBezierPath::UIBezierPath(CGRect rect, CGFloat cornerRadius) {
  const CGRect r = rect.standardized();
  const CGFloat k = std::clamp(cornerRadius, 0.0, std::min(r.width(), r.height()) / 2);
  constexpr CGFloat quarter = std::numbers::pi / 2;
  move({r.minX() + k, r.minY()});
  addLine({r.maxX() - k, r.minY()});
  addArc({r.maxX() - k, r.minY() + k}, k, -quarter, 0, true);
  addLine({r.maxX(), r.maxY() - k});
  addArc({r.maxX() - k, r.maxY() - k}, k, 0, quarter, true);
  addLine({r.minX() + k, r.maxY()});
  addArc({r.minX() + k, r.maxY() - k}, k, quarter, 2 * quarter, true);
  addLine({r.minX(), r.minY() + k});
  addArc({r.minX() + k, r.minY() + k}, k, 2 * quarter, 3 * quarter, true);
  close();
}

UIBezierPath::UIBezierPath(CGPoint arcCenter, CGFloat radius, CGFloat startAngle, CGFloat endAngle,
                           bool clockwise) {
  addArc(arcCenter, radius, startAngle, endAngle, clockwise);
}

void UIBezierPath::addArc(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle,
                          bool clockwise) {
  // Core Graphics measures direction in y-up space; on the flipped screen it reverses.
  path_.addArc(center, radius, startAngle, endAngle, !clockwise);
}

}  // namespace UIKit
