#pragma once

#include "UIKit/UIGestureRecognizer.hpp"

namespace UIKit {

// Recognizes a tap (or as many as required) on its view; a finger that moves further than
// `allowableMovement` before lifting makes it fail.
class UITapGestureRecognizer : public UIGestureRecognizer {
 public:
  static constexpr CGFloat allowableMovement = 10;

  int numberOfTapsRequired() const { return tapsRequired_; }
  void setNumberOfTapsRequired(int taps) { tapsRequired_ = taps; }

  void touchesBegan(const UITouch& touch) override;
  void touchesMoved(const UITouch& touch) override;
  void touchesEnded(const UITouch& touch) override;

 private:
  int tapsRequired_ = 1;
  CGPoint start_;
};

}  // namespace UIKit
