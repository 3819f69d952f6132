#pragma once

#include "UIKit/UIGestureRecognizer.hpp"

namespace UIKit {

// Two fingers: the scale is their distance over the distance they came down at (times the
// scale last set). Begins on the first move of both fingers, changes with each later one,
// ends when they lift; with fewer than two fingers it fails.
class UIPinchGestureRecognizer : public UIGestureRecognizer {
 public:
  CGFloat scale() const { return scale_; }
  // Zero, negative or non-finite scales are ignored: a view scaled by them would vanish.
  void setScale(CGFloat scale);

  void touchesBegan(const UITouch& touch) override;
  void touchesMoved(const UITouch& touch) override;
  void touchesEnded(const UITouch& touch) override;
  void reset() override;

 private:
  CGFloat spread() const;

  CGFloat scale_ = 1;
  CGFloat base_ = 1;  // the scale at `startSpread_`
  CGFloat startSpread_ = 0;
};

}  // namespace UIKit
