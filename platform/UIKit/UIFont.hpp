#pragma once

#include <string>

#include "CoreGraphics/CGGeometry.hpp"

namespace UIKit {

// A font as the layout needs it: its name, size and weight. Nothing is rendered.
class UIFont {
 public:
  // UIFont.Weight's values.
  struct Weight {
    static constexpr CGFloat ultraLight = -0.8;
    static constexpr CGFloat thin = -0.6;
    static constexpr CGFloat light = -0.4;
    static constexpr CGFloat regular = 0;
    static constexpr CGFloat medium = 0.23;
    static constexpr CGFloat semibold = 0.3;
    static constexpr CGFloat bold = 0.4;
    static constexpr CGFloat heavy = 0.56;
    static constexpr CGFloat black = 0.62;
  };

  static UIFont systemFont(CGFloat size, CGFloat weight = Weight::regular);
  static UIFont boldSystemFont(CGFloat size) { return systemFont(size, Weight::bold); }
  // Swift `UIFont(name:size:)`; any name is accepted, there being no font files.
  UIFont(std::string name, CGFloat size, CGFloat weight = Weight::regular)
      : name_(std::move(name)), size_(size), weight_(weight) {}

  const std::string& fontName() const { return name_; }
  CGFloat pointSize() const { return size_; }
  CGFloat weight() const { return weight_; }
  // Typical line height of the platform's fonts.
  CGFloat lineHeight() const { return size_ * 1.2; }
  UIFont withSize(CGFloat size) const { return {name_, size, weight_}; }

  bool operator==(const UIFont&) const = default;

 private:
  std::string name_;
  CGFloat size_;
  CGFloat weight_;
};

}  // namespace UIKit
