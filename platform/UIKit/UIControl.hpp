#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "UIKit/UIView.hpp"

namespace UIKit {

// A view that sends actions to targets on control events. Targets are held weakly: an action
// whose target has gone is not sent. A disabled control takes no touches.
class UIControl : public UIView {
 public:
  enum class Event : std::uint32_t {
    touchDown = 1u << 0,
    touchDownRepeat = 1u << 1,
    touchDragInside = 1u << 2,
    touchDragOutside = 1u << 3,
    touchDragEnter = 1u << 4,
    touchDragExit = 1u << 5,
    touchUpInside = 1u << 6,
    touchUpOutside = 1u << 7,
    touchCancel = 1u << 8,
    valueChanged = 1u << 12,
    primaryActionTriggered = 1u << 13,
    editingDidBegin = 1u << 16,
    editingChanged = 1u << 17,
    editingDidEnd = 1u << 18,
    editingDidEndOnExit = 1u << 19,
    allTouchEvents = 0x00000FFFu,
    allEditingEvents = 0x000F0000u,
    allEvents = 0xFFFFFFFFu,
  };
  friend constexpr bool enableOptionSet(Event) { return true; }

  using UIView::UIView;

  bool isEnabled() const { return enabled_; }
  virtual void setEnabled(bool enabled) { enabled_ = enabled; }
  bool isSelected() const { return selected_; }
  virtual void setSelected(bool selected) { selected_ = selected; }
  bool isHighlighted() const { return highlighted_; }
  virtual void setHighlighted(bool highlighted) { highlighted_ = highlighted; }

  // Swift `addTarget(_:action:for:)` with a selector taking no argument or the sender.
  template <class T>
  void addTarget(const std::shared_ptr<T>& target, void (T::*action)(), Event events) {
    std::weak_ptr<T> weak = target;
    addTarget(
        std::weak_ptr<void>(target),
        [weak, action](UIControl&) {
          if (auto t = weak.lock()) ((*t).*action)();
        },
        events);
  }
  template <class T, class S>
  void addTarget(const std::shared_ptr<T>& target, void (T::*action)(S&), Event events) {
    std::weak_ptr<T> weak = target;
    addTarget(
        std::weak_ptr<void>(target),
        [weak, action](UIControl& sender) {
          auto* typed = dynamic_cast<S*>(&sender);
          if (auto t = weak.lock(); t && typed) ((*t).*action)(*typed);
        },
        events);
  }
  // The general form: `action` runs only while `target` lives.
  void addTarget(std::weak_ptr<void> target, std::function<void(UIControl&)> action, Event events);
  // Removes the target's actions for these events; a null target removes every target's.
  void removeTarget(const void* target, Event events);
  // How many live target-action pairs answer any of `events`.
  std::size_t actionCount(Event events) const;
  // Sends the actions registered for any of `events`, in the order they were added.
  void sendActions(Event events);

  std::shared_ptr<UIView> hitTest(CGPoint point) override;
  void touchesBegan(const UITouch& touch) override;
  void touchesEnded(const UITouch& touch) override;
  void touchesCancelled(const UITouch& touch) override;

  void decodeInterface(InterfaceCoder& coder) override;

 private:
  struct Action {
    std::weak_ptr<void> target;
    std::function<void(UIControl&)> action;
    Event events;
  };
  std::vector<Action> actions_;
  bool enabled_ = true;
  bool selected_ = false;
  bool highlighted_ = false;
};

}  // namespace UIKit
