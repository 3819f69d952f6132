#pragma once

#include "Foundation/Clock.hpp"
#include "UIKit/UIGestureRecognizer.hpp"

namespace UIKit {

// Begins once the fingers have moved `hysteresis` points from where they came down; every
// later move is a change; lifting ends it. Lifting before it began makes it fail.
class UIPanGestureRecognizer : public UIGestureRecognizer {
 public:
  static constexpr CGFloat hysteresis = 10;

  // From where the fingers came down (or the last `setTranslation`), in `view`'s coordinate
  // axes (null: the window's).
  CGPoint translation(const UIView* view) const;
  // A non-finite point is ignored.
  void setTranslation(CGPoint translation, const UIView* view);
  // Points per second over the last move on the clock; zero when no time passed.
  CGPoint velocity(const UIView* view) const;

  void touchesBegan(const UITouch& touch) override;
  void touchesMoved(const UITouch& touch) override;
  void touchesEnded(const UITouch& touch) override;
  void reset() override;

 private:
  CGPoint start_;  // window coordinates
  CGPoint last_;
  Foundation::TimeInterval lastTime_ = 0;
  CGPoint velocity_;
};

}  // namespace UIKit
