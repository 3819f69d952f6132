#pragma once

#include <memory>
#include <string>

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

// What a reusable view with an interface file of its own does on creation: loads the kit's
// file `name` with `owner` as its owner and lays the file's first view over the owner's
// bounds, stretching with it. Returns that view; null (the loader logs why) when the file
// yields none.
std::shared_ptr<UIKit::UIView> loadContentView(UIKit::UIView& owner, const std::string& name);

}  // namespace ZentrelSDK
