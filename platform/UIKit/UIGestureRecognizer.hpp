#pragma once

#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"

namespace UIKit {

class UITouch;
class UIView;
class UIGestureRecognizer;

// Swift's UIGestureRecognizerDelegate, the question the kit asks.
class UIGestureRecognizerDelegate {
 public:
  virtual ~UIGestureRecognizerDelegate() = default;
  // Asked when the recognizer would leave `possible` (begin, or recognize at once); false
  // makes it fail without telling its targets.
  virtual bool gestureRecognizerShouldBegin(UIGestureRecognizer& /*recognizer*/) { return true; }
};

// Turns touches on its view into a gesture and tells its targets. Targets are held weakly:
// an action whose target has gone is not sent.
class UIGestureRecognizer : public std::enable_shared_from_this<UIGestureRecognizer> {
 public:
  enum class State { possible, began, changed, ended, cancelled, failed };
  static constexpr State recognized = State::ended;

  UIGestureRecognizer() = default;
  virtual ~UIGestureRecognizer() = default;
  UIGestureRecognizer(const UIGestureRecognizer&) = delete;
  UIGestureRecognizer& operator=(const UIGestureRecognizer&) = delete;

  // Swift `addTarget(_:action:)` with a selector taking no argument or the recognizer. As on
  // the platform, a target and action already added are not added twice.
  template <class T>
  void addTarget(const std::shared_ptr<T>& target, void (T::*action)()) {
    std::weak_ptr<T> weak = target;
    addTarget(
        std::weak_ptr<void>(target),
        [weak, action](UIGestureRecognizer&) {
          if (auto t = weak.lock()) ((*t).*action)();
        },
        selectorKey(action));
  }
  template <class T, class G>
  void addTarget(const std::shared_ptr<T>& target, void (T::*action)(G&)) {
    std::weak_ptr<T> weak = target;
    addTarget(
        std::weak_ptr<void>(target),
        [weak, action](UIGestureRecognizer& recognizer) {
          auto* typed = dynamic_cast<G*>(&recognizer);
          if (auto t = weak.lock(); t && typed) ((*t).*action)(*typed);
        },
        selectorKey(action));
  }
  // The general form: `action` runs only while `target` lives. A non-empty `selector` names
  // the action, so the same target and selector are added once.
  void addTarget(std::weak_ptr<void> target, std::function<void(UIGestureRecognizer&)> action,
                 std::string selector = {});
  // Null removes every target.
  void removeTarget(const void* target);

  std::shared_ptr<UIView> view() const;
  // Held weakly, as on the platform.
  std::shared_ptr<UIGestureRecognizerDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<UIGestureRecognizerDelegate> delegate) {
    delegate_ = std::move(delegate);
  }
  std::size_t numberOfTargets() const { return targets_.size(); }
  State state() const { return state_; }
  bool isEnabled() const { return enabled_; }
  void setEnabled(bool enabled) { enabled_ = enabled; }
  // When it recognizes, the touch is cancelled for its view instead of ending there.
  bool cancelsTouchesInView() const { return cancelsTouchesInView_; }
  void setCancelsTouchesInView(bool value) { cancelsTouchesInView_ = value; }
  // Of the touches it last saw (their centre when there are several), in `view`'s
  // coordinates (null: the window's).
  CGPoint location(const UIView* view) const;
  std::size_t numberOfTouches() const { return points_.size(); }
  // Of one finger; (0, 0) for an index it has not seen.
  CGPoint location(std::size_t touchIndex, const UIView* view) const;

  // Touch delivery from the window, one call per phase with the first finger's touch; every
  // finger's location is read through `location` and `numberOfTouches`.
  virtual void touchesBegan(const UITouch& /*touch*/) {}
  virtual void touchesMoved(const UITouch& /*touch*/) {}
  virtual void touchesEnded(const UITouch& /*touch*/) {}
  virtual void touchesCancelled(const UITouch& touch);
  // Back to `possible` once a gesture is over.
  virtual void reset();

  // Still watching the touches: neither failed nor cancelled.
  bool isTracking() const { return state_ != State::failed && state_ != State::cancelled; }

 protected:
  // Recognition sends the actions (began, changed, ended; cancelled once begun).
  void setState(State state);
  // Window coordinates to `view`'s and back (null: the window's).
  CGPoint fromWindow(CGPoint point, const UIView* view) const;
  CGPoint toWindow(CGPoint point, const UIView* view) const;

 private:
  friend class UIView;
  friend class UIWindow;
  enum class Phase { began, moved, ended, cancelled };
  struct Target {
    std::weak_ptr<void> target;
    std::function<void(UIGestureRecognizer&)> action;
    std::string selector;
  };
  template <class M>
  static std::string selectorKey(M member) {
    std::string key(typeid(M).name());
    key.append(reinterpret_cast<const char*>(&member), sizeof(member));
    return key;
  }
  void deliver(Phase phase, const std::vector<UITouch>& touches);

  UIView* view_ = nullptr;  // set by the view that holds it
  std::weak_ptr<UIGestureRecognizerDelegate> delegate_;
  std::vector<Target> targets_;
  State state_ = State::possible;
  bool enabled_ = true;
  bool cancelsTouchesInView_ = true;
  std::vector<CGPoint> points_;       // in window coordinates, one per finger
  std::weak_ptr<UIView> lastWindow_;  // not owning: the window owns the recognizer
};

}  // namespace UIKit
