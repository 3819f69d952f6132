#include "UIKit/UIPinchGestureRecognizer.hpp"

#include <cmath>

namespace UIKit {

CGFloat UIPinchGestureRecognizer::spread() const {
  if (numberOfTouches() < 2) return 0;
  const CGPoint a = location(0, nullptr), b = location(1, nullptr);
  return std::hypot(a.x - b.x, a.y - b.y);
}

void UIPinchGestureRecognizer::setScale(CGFloat scale) {
  if (!std::isfinite(scale) || scale <= 0) return;
  scale_ = base_ = scale;
  startSpread_ = spread();
}

void UIPinchGestureRecognizer::touchesBegan(const UITouch& /*touch*/) {
  startSpread_ = spread();
  base_ = scale_ = 1;
}

void UIPinchGestureRecognizer::touchesMoved(const UITouch& /*touch*/) {
  if (state() != State::possible && state() != State::began && state() != State::changed) return;
  if (startSpread_ <= 0) {
    setState(State::failed);
    return;
  }
  const CGFloat next = base_ * spread() / startSpread_;
  if (!std::isfinite(next) || next <= 0) return;  // fingers on one spot: nothing to scale by
  scale_ = next;
  setState(state() == State::possible ? State::began : State::changed);
}

void UIPinchGestureRecognizer::touchesEnded(const UITouch& /*touch*/) {
  const bool began = state() == State::began || state() == State::changed;
  setState(began ? State::ended : State::failed);
}

void UIPinchGestureRecognizer::reset() {
  scale_ = base_ = 1;
  startSpread_ = 0;
  UIGestureRecognizer::reset();
}

}  // namespace UIKit
