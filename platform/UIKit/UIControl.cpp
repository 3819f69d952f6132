#include "UIKit/UIControl.hpp"

#include <algorithm>

#include "UIKit/InterfaceCoder.hpp"
#include "UIKit/UITouch.hpp"

namespace UIKit {

void UIControl::addTarget(std::weak_ptr<void> target, std::function<void(UIControl&)> action,
                          Event events) {
  if (!action) return;
  actions_.push_back({std::move(target), std::move(action), events});
}

void UIControl::removeTarget(const void* target, Event events) {
  for (auto& a : actions_) {
    if (!target || a.target.lock().get() == target) a.events = a.events & ~events;
  }
  std::erase_if(actions_, [](const Action& a) { return a.events == Event{}; });
}

std::size_t UIControl::actionCount(Event events) const {
  return static_cast<std::size_t>(std::count_if(actions_.begin(), actions_.end(), [&](auto& a) {
    return intersects(a.events, events) && !a.target.expired();
  }));
}

void UIControl::sendActions(Event events) {
  // A copy: an action may add or remove targets, or release this control's owner.
  auto actions = actions_;
  auto keep = weak_from_this().lock();
  for (auto& a : actions) {
    if (intersects(a.events, events) && !a.target.expired()) a.action(*this);
  }
}

std::shared_ptr<UIView> UIControl::hitTest(CGPoint point) {
  if (!enabled_) return nullptr;
  return UIView::hitTest(point);
}

void UIControl::touchesBegan(const UITouch& /*touch*/) {
  setHighlighted(true);
  sendActions(Event::touchDown);
}

void UIControl::touchesEnded(const UITouch& touch) {
  setHighlighted(false);
  sendActions(pointInside(touch.location(this)) ? Event::touchUpInside : Event::touchUpOutside);
}

void UIControl::touchesCancelled(const UITouch& /*touch*/) {
  setHighlighted(false);
  sendActions(Event::touchCancel);
}

void UIControl::decodeInterface(InterfaceCoder& coder) {
  UIView::decodeInterface(coder);
  if (auto enabled = coder.decodeBool("enabled")) setEnabled(*enabled);
  if (auto selected = coder.decodeBool("selected")) setSelected(*selected);
}

}  // namespace UIKit
