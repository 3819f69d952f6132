#pragma once

#include "UIKit/UIGestureRecognizer.hpp"

namespace UIKit {

// Recognizes a tap (or as many as required) on its view.
class UITapGestureRecognizer : public UIGestureRecognizer {
 public:
  int numberOfTapsRequired() const { return tapsRequired_; }
  void setNumberOfTapsRequired(int taps) { tapsRequired_ = taps; }

  void touchesEnded(const UITouch& touch) override;

 private:
  int tapsRequired_ = 1;
};

}  // namespace UIKit
