#pragma once

#include <optional>
#include <string_view>

#include "CoreGraphics/CGGeometry.hpp"
#include "QuartzCore/CGColor.hpp"

namespace UIKit {

using CoreGraphics::CGColor;

// An RGB colour with alpha, components from 0 to 1. Immutable, so a value here.
class UIColor {
 public:
  struct Components {
    CGFloat red = 0, green = 0, blue = 0, alpha = 0;
  };

  // Swift `UIColor(red:green:blue:alpha:)`.
  constexpr UIColor(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
      : r_(red), g_(green), b_(blue), a_(alpha) {}
  // Swift `UIColor(white:alpha:)`.
  constexpr UIColor(CGFloat white, CGFloat alpha) : UIColor(white, white, white, alpha) {}
  // Swift `UIColor(cgColor:)`.
  explicit constexpr UIColor(const CGColor& color)
      : UIColor(color.red, color.green, color.blue, color.alpha) {}

  static constexpr UIColor clear() { return {0, 0, 0, 0}; }
  static constexpr UIColor black() { return {0, 1}; }
  static constexpr UIColor white() { return {1, 1}; }
  static constexpr UIColor gray() { return {0.5, 1}; }
  static constexpr UIColor lightGray() { return {2.0 / 3.0, 1}; }
  static constexpr UIColor darkGray() { return {1.0 / 3.0, 1}; }
  static constexpr UIColor red() { return {1, 0, 0, 1}; }
  static constexpr UIColor green() { return {0, 1, 0, 1}; }
  static constexpr UIColor blue() { return {0, 0, 1, 1}; }

  // "#RRGGBB", "#RRGGBBAA" or one of the names above ("clear", "white", ...); none otherwise.
  static std::optional<UIColor> fromText(std::string_view text);

  Components components() const { return {r_, g_, b_, a_}; }
  // Swift `getRed(_:green:blue:alpha:)`; any pointer may be null.
  bool getRed(CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) const;
  CGFloat alphaComponent() const { return a_; }
  UIColor withAlphaComponent(CGFloat alpha) const { return {r_, g_, b_, alpha}; }
  CGColor cgColor() const { return {r_, g_, b_, a_}; }

  bool operator==(const UIColor&) const = default;

 private:
  CGFloat r_, g_, b_, a_;
};

}  // namespace UIKit
