#include "UIKit/UIGestureRecognizer.hpp"

#include <algorithm>

#include "UIKit/UITouch.hpp"
#include "UIKit/UIWindow.hpp"

namespace UIKit {

void UIGestureRecognizer::addTarget(std::weak_ptr<void> target,
                                    std::function<void(UIGestureRecognizer&)> action) {
  if (!action) return;
  targets_.push_back({std::move(target), std::move(action)});
}

void UIGestureRecognizer::removeTarget(const void* target) {
  std::erase_if(targets_,
                [target](const Target& t) { return !target || t.target.lock().get() == target; });
}

std::shared_ptr<UIView> UIGestureRecognizer::view() const {
  if (!view_) return nullptr;
  return std::static_pointer_cast<UIView>(view_->weak_from_this().lock());
}

CGPoint UIGestureRecognizer::location(const UIView* view) const {
  const CGPoint p = lastLocation_.value_or(CGPoint{});
  if (!view) return p;
  return view->convertFrom(p, lastWindow_.lock().get());
}

void UIGestureRecognizer::touchesBegan(const UITouch& touch) {
  lastLocation_ = touch.location(nullptr);
  lastWindow_ = touch.window();
}

void UIGestureRecognizer::touchesEnded(const UITouch& touch) {
  lastLocation_ = touch.location(nullptr);
  lastWindow_ = touch.window();
}

void UIGestureRecognizer::touchesCancelled(const UITouch& /*touch*/) {
  setState(State::cancelled);
}

void UIGestureRecognizer::reset() {
  state_ = State::possible;
  lastWindow_.reset();
}

void UIGestureRecognizer::setState(State state) {
  state_ = state;
  if (state != State::began && state != State::changed && state != State::ended) return;
  // A copy: an action may add or remove targets.
  auto targets = targets_;
  auto keep = weak_from_this().lock();
  for (auto& t : targets) {
    if (!t.target.expired()) t.action(*this);
  }
}

}  // namespace UIKit
