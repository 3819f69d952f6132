#pragma once

namespace UIKit {

// The look of a visual-effect view.
class UIBlurEffect {
 public:
  enum class Style { extraLight = 0, light = 1, dark = 2, regular = 4, prominent = 5 };

  explicit UIBlurEffect(Style style) : style_(style) {}
  Style style() const { return style_; }
  bool operator==(const UIBlurEffect&) const = default;

 private:
  Style style_;
};

}  // namespace UIKit
