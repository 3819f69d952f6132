#include "UIKit/UIGestureRecognizer.hpp"

#include <algorithm>

#include "UIKit/UITouch.hpp"
#include "UIKit/UIWindow.hpp"

namespace UIKit {

void UIGestureRecognizer::addTarget(std::weak_ptr<void> target,
                                    std::function<void(UIGestureRecognizer&)> action,
                                    std::string selector) {
  if (!action) return;
  if (!selector.empty()) {
    const auto* object = target.lock().get();
    for (const auto& t : targets_) {
      if (t.selector == selector && t.target.lock().get() == object) return;
    }
  }
  targets_.push_back({std::move(target), std::move(action), std::move(selector)});
}

void UIGestureRecognizer::removeTarget(const void* target) {
  std::erase_if(targets_,
                [target](const Target& t) { return !target || t.target.lock().get() == target; });
}

std::shared_ptr<UIView> UIGestureRecognizer::view() const {
  if (!view_) return nullptr;
  return std::static_pointer_cast<UIView>(view_->weak_from_this().lock());
}

CGPoint UIGestureRecognizer::fromWindow(CGPoint point, const UIView* view) const {
  if (!view) return point;
  return view->convertFrom(point, lastWindow_.lock().get());
}

CGPoint UIGestureRecognizer::toWindow(CGPoint point, const UIView* view) const {
  if (!view) return point;
  return view->convertTo(point, lastWindow_.lock().get());
}

CGPoint UIGestureRecognizer::location(const UIView* view) const {
  CGPoint sum;
  for (const auto& p : points_) {
    sum.x += p.x;
    sum.y += p.y;
  }
  const auto n = static_cast<CGFloat>(std::max<std::size_t>(points_.size(), 1));
  return fromWindow({sum.x / n, sum.y / n}, view);
}

CGPoint UIGestureRecognizer::location(std::size_t touchIndex, const UIView* view) const {
  if (touchIndex >= points_.size()) return {};
  return fromWindow(points_[touchIndex], view);
}

void UIGestureRecognizer::deliver(Phase phase, const std::vector<UITouch>& touches) {
  if (touches.empty()) return;
  points_.clear();
  for (const auto& touch : touches) points_.push_back(touch.location(nullptr));
  lastWindow_ = touches.front().window();
  const UITouch& first = touches.front();
  switch (phase) {
    case Phase::began:
      touchesBegan(first);
      break;
    case Phase::moved:
      touchesMoved(first);
      break;
    case Phase::ended:
      touchesEnded(first);
      break;
    case Phase::cancelled:
      touchesCancelled(first);
      break;
  }
}

void UIGestureRecognizer::touchesCancelled(const UITouch& /*touch*/) {
  setState(State::cancelled);
}

void UIGestureRecognizer::reset() {
  state_ = State::possible;
  points_.clear();
  lastWindow_.reset();
}

void UIGestureRecognizer::setState(State state) {
  const bool hadBegun = state_ == State::began || state_ == State::changed;
  const bool starts = state_ == State::possible && (state == State::began || state == State::ended);
  if (starts) {
    auto keep = weak_from_this().lock();
    if (auto d = delegate_.lock(); d && !d->gestureRecognizerShouldBegin(*this)) {
      state_ = State::failed;
      return;
    }
  }
  state_ = state;
  // Only a gesture that had begun tells its targets that it was cancelled.
  if (state == State::possible || state == State::failed) return;
  if (state == State::cancelled && !hadBegun) return;
  // A copy: an action may add or remove targets.
  auto targets = targets_;
  auto keep = weak_from_this().lock();
  for (auto& t : targets) {
    if (!t.target.expired()) t.action(*this);
  }
}

}  // namespace UIKit
