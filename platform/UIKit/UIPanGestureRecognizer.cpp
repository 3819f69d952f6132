#include "UIKit/UIPanGestureRecognizer.hpp"

#include <cmath>

namespace UIKit {

// Vectors in a view's axes are differences of converted points.
CGPoint UIPanGestureRecognizer::translation(const UIView* view) const {
  const CGPoint a = fromWindow(start_, view), b = fromWindow(location(nullptr), view);
  return {b.x - a.x, b.y - a.y};
}

void UIPanGestureRecognizer::setTranslation(CGPoint translation, const UIView* view) {
  if (!std::isfinite(translation.x) || !std::isfinite(translation.y)) return;
  const CGPoint here = fromWindow(location(nullptr), view);
  start_ = toWindow({here.x - translation.x, here.y - translation.y}, view);
}

CGPoint UIPanGestureRecognizer::velocity(const UIView* view) const {
  const CGPoint a = fromWindow(last_, view);
  const CGPoint b = fromWindow({last_.x + velocity_.x, last_.y + velocity_.y}, view);
  return {b.x - a.x, b.y - a.y};
}

void UIPanGestureRecognizer::touchesBegan(const UITouch& /*touch*/) {
  start_ = last_ = location(nullptr);
  lastTime_ = Foundation::Clock::current().now();
  velocity_ = {};
}

void UIPanGestureRecognizer::touchesMoved(const UITouch& /*touch*/) {
  const CGPoint p = location(nullptr);
  const auto now = Foundation::Clock::current().now();
  const auto dt = now - lastTime_;
  velocity_ = dt > 0 ? CGPoint{(p.x - last_.x) / dt, (p.y - last_.y) / dt} : CGPoint{};
  last_ = p;
  lastTime_ = now;
  if (state() == State::began || state() == State::changed) {
    setState(State::changed);
  } else if (state() == State::possible &&
             std::hypot(p.x - start_.x, p.y - start_.y) >= hysteresis) {
    setState(State::began);
  }
}

void UIPanGestureRecognizer::touchesEnded(const UITouch& /*touch*/) {
  const bool began = state() == State::began || state() == State::changed;
  setState(began ? State::ended : State::failed);
}

void UIPanGestureRecognizer::reset() {
  velocity_ = {};
  UIGestureRecognizer::reset();
}

}  // namespace UIKit
