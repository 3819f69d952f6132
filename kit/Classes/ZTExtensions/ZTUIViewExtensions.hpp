#pragma once

#include <CoreGraphics/CGGeometry.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UITextField.hpp>

namespace ZentrelSDK {

// Swift `UITextField.PaddingSide`: which sides get an empty inset view, and how wide.
struct PaddingSide {
  enum class Kind { left, right, both };
  Kind kind = Kind::left;
  CoreGraphics::CGFloat width = 0;

  static PaddingSide left(CoreGraphics::CGFloat width) { return {Kind::left, width}; }
  static PaddingSide right(CoreGraphics::CGFloat width) { return {Kind::right, width}; }
  static PaddingSide both(CoreGraphics::CGFloat width) { return {Kind::both, width}; }
};

// Swift `textField.addPadding(_:)`: an empty view of the padding's width and the field's
// height as its left and/or right view, always shown; the field clips to its bounds.
void addPadding(UIKit::UITextField& textField, PaddingSide padding);

// Swift `label.setLetterSpacing(_:)`: the label's text, without its former attributes, kerned
// by `spacing` points on every character but the last. No text, or an empty one, changes
// nothing.
void setLetterSpacing(UIKit::UILabel& label, double spacing = 0.3);

}  // namespace ZentrelSDK
