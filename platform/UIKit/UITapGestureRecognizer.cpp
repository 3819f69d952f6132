#include "UIKit/UITapGestureRecognizer.hpp"

#include "UIKit/UITouch.hpp"

namespace UIKit {

void UITapGestureRecognizer::touchesEnded(const UITouch& touch) {
  UIGestureRecognizer::touchesEnded(touch);
  setState(touch.tapCount() >= tapsRequired_ ? recognized : State::failed);
}

}  // namespace UIKit
