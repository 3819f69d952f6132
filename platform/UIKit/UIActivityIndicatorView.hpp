#pragma once

#include "UIKit/UIView.hpp"

namespace UIKit {

// A spinner. Stopped, it hides itself while `hidesWhenStopped` holds (the default).
class UIActivityIndicatorView : public UIView {
 public:
  enum class Style { whiteLarge = 0, white = 1, gray = 2, medium = 100, large = 101 };

  explicit UIActivityIndicatorView(CGRect frame = {});
  explicit UIActivityIndicatorView(Style style);

  Style style() const { return style_; }
  void setStyle(Style style) { style_ = style; }
  const UIColor& color() const { return color_; }
  void setColor(UIColor color) { color_ = color; }
  bool hidesWhenStopped() const { return hidesWhenStopped_; }
  void setHidesWhenStopped(bool hides);
  bool isAnimating() const { return animating_; }
  void startAnimating();
  void stopAnimating();

  void decodeInterface(InterfaceCoder& coder) override;

 private:
  void updateHidden();

  Style style_ = Style::medium;
  UIColor color_ = UIColor::gray();
  bool hidesWhenStopped_ = true;
  bool animating_ = false;
};

}  // namespace UIKit
