#include "UIKit/UILongPressGestureRecognizer.hpp"

#include <cmath>

#include "Dispatch/DispatchQueue.hpp"

namespace UIKit {

void UILongPressGestureRecognizer::setMinimumPressDuration(Foundation::TimeInterval duration) {
  if (std::isfinite(duration) && duration >= 0) minimumPressDuration_ = duration;
}

void UILongPressGestureRecognizer::setAllowableMovement(CGFloat distance) {
  if (std::isfinite(distance) && distance >= 0) allowableMovement_ = distance;
}

void UILongPressGestureRecognizer::touchesBegan(const UITouch& /*touch*/) {
  start_ = location(nullptr);
  const auto press = ++press_;
  std::weak_ptr<UIGestureRecognizer> weak = weak_from_this();
  Dispatch::DispatchQueue::main().asyncAfter(minimumPressDuration_, [weak, press] {
    auto self = std::static_pointer_cast<UILongPressGestureRecognizer>(weak.lock());
    if (self && self->press_ == press && self->state() == State::possible)
      self->setState(State::began);
  });
}

void UILongPressGestureRecognizer::touchesMoved(const UITouch& /*touch*/) {
  if (state() == State::began || state() == State::changed) {
    setState(State::changed);
    return;
  }
  const CGPoint p = location(nullptr);
  if (std::hypot(p.x - start_.x, p.y - start_.y) > allowableMovement_) setState(State::failed);
}

void UILongPressGestureRecognizer::touchesEnded(const UITouch& /*touch*/) {
  const bool held = state() == State::began || state() == State::changed;
  setState(held ? State::ended : State::failed);
}

void UILongPressGestureRecognizer::reset() {
  ++press_;
  UIGestureRecognizer::reset();
}

}  // namespace UIKit
