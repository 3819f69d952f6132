#include "UIKit/UIBezierPath.hpp"

namespace UIKit {

UIBezierPath::UIBezierPath(CGRect rect) {
  path_.addRect(rect);
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
