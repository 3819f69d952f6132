#pragma once

#include "CoreGraphics/CGGeometry.hpp"
#include "QuartzCore/CGPath.hpp"

namespace UIKit {

using CoreGraphics::CGPath;

// A path in UIKit's y-down coordinates: `clockwise` means clockwise on the screen.
class UIBezierPath {
 public:
  UIBezierPath() = default;
  // Swift `UIBezierPath(rect:)`.
  explicit UIBezierPath(CGRect rect);
  // Swift `UIBezierPath(roundedRect:cornerRadius:)`: the radius is at most half the shorter
  // side.
  UIBezierPath(CGRect rect, CGFloat cornerRadius);
  // Swift `UIBezierPath(arcCenter:radius:startAngle:endAngle:clockwise:)`.
  UIBezierPath(CGPoint arcCenter, CGFloat radius, CGFloat startAngle, CGFloat endAngle,
               bool clockwise);

  void move(CGPoint to) { path_.move(to); }
  void addLine(CGPoint to) { path_.addLine(to); }
  void addArc(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise);
  void close() { path_.closeSubpath(); }

  const CGPath& cgPath() const { return path_; }

 private:
  CGPath path_;
};

}  // namespace UIKit
