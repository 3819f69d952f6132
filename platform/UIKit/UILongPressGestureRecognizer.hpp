#pragma once

#include <cstdint>

#include "Foundation/Clock.hpp"
#include "UIKit/UIGestureRecognizer.hpp"

namespace UIKit {

// Begins when a finger has stayed down for `minimumPressDuration` on the clock without
// moving further than `allowableMovement`; moves are changes; lifting ends it. Lifting
// earlier makes it fail.
class UILongPressGestureRecognizer : public UIGestureRecognizer {
 public:
  Foundation::TimeInterval minimumPressDuration() const { return minimumPressDuration_; }
  // A negative or non-finite duration is ignored.
  void setMinimumPressDuration(Foundation::TimeInterval duration);
  CGFloat allowableMovement() const { return allowableMovement_; }
  void setAllowableMovement(CGFloat distance);

  void touchesBegan(const UITouch& touch) override;
  void touchesMoved(const UITouch& touch) override;
  void touchesEnded(const UITouch& touch) override;
  void reset() override;

 private:
  Foundation::TimeInterval minimumPressDuration_ = 0.5;
  CGFloat allowableMovement_ = 10;
  CGPoint start_;
  std::uint64_t press_ = 0;  // tells a stale timer from the current press
};

}  // namespace UIKit
