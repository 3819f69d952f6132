#include "UIKit/UITapGestureRecognizer.hpp"

#include <cmath>

#include "UIKit/UITouch.hpp"

namespace UIKit {

void UITapGestureRecognizer::touchesBegan(const UITouch& /*touch*/) {
  start_ = location(nullptr);
}

void UITapGestureRecognizer::touchesMoved(const UITouch& /*touch*/) {
  const CGPoint p = location(nullptr);
  if (std::hypot(p.x - start_.x, p.y - start_.y) > allowableMovement) setState(State::failed);
}

void UITapGestureRecognizer::touchesEnded(const UITouch& touch) {
  if (state() != State::possible) return;
  setState(touch.tapCount() >= tapsRequired_ ? recognized : State::failed);
}

}  // namespace UIKit
