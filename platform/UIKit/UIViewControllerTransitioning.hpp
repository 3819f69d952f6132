#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"
#include "Foundation/Clock.hpp"

namespace UIKit {

class UIView;
class UIViewController;

// Swift `UITransitionContextViewKey` and `UITransitionContextViewControllerKey`.
enum class UITransitionContextViewKey { from, to };
enum class UITransitionContextViewControllerKey { from, to };
inline constexpr auto UITransitionContextFromViewKey = UITransitionContextViewKey::from;
inline constexpr auto UITransitionContextToViewKey = UITransitionContextViewKey::to;
inline constexpr auto UITransitionContextFromViewControllerKey =
    UITransitionContextViewControllerKey::from;
inline constexpr auto UITransitionContextToViewControllerKey =
    UITransitionContextViewControllerKey::to;

// What an animator of a custom present or dismiss works with. The platform gives one per
// transition; the animator must call `completeTransition` once when it is done.
class UIViewControllerContextTransitioning {
 public:
  virtual ~UIViewControllerContextTransitioning() = default;

  virtual std::shared_ptr<UIView> containerView() const = 0;
  // Null where the platform does not hand the view over: the presenting view of a
  // presentation that leaves it in place (custom and over-* styles).
  virtual std::shared_ptr<UIView> view(UITransitionContextViewKey key) const = 0;
  virtual std::shared_ptr<UIViewController> viewController(
      UITransitionContextViewControllerKey key) const = 0;
  // Where the controller's view starts and ends; zero when the platform sets no frame.
  virtual CGRect initialFrame(const std::shared_ptr<UIViewController>& controller) const = 0;
  virtual CGRect finalFrame(const std::shared_ptr<UIViewController>& controller) const = 0;
  virtual bool isAnimated() const = 0;
  virtual bool isInteractive() const { return false; }
  virtual bool transitionWasCancelled() const { return false; }
  // Ends the transition: true keeps its result, false undoes it. Later calls are ignored.
  virtual void completeTransition(bool didComplete) = 0;
};

// Swift `UIViewControllerAnimatedTransitioning`: animates one transition.
class UIViewControllerAnimatedTransitioning {
 public:
  virtual ~UIViewControllerAnimatedTransitioning() = default;
  // The context may be null.
  virtual Foundation::TimeInterval transitionDuration(
      const std::shared_ptr<UIViewControllerContextTransitioning>& context) = 0;
  // Returns at once; the end is reported through the context.
  virtual void animateTransition(
      const std::shared_ptr<UIViewControllerContextTransitioning>& context) = 0;
  // After the context has been completed.
  virtual void animationEnded(bool /*transitionCompleted*/) {}
};

// Swift `UIViewControllerTransitionCoordinatorContext`: what a coordinator's blocks learn of
// the transition.
class UIViewControllerTransitionCoordinatorContext {
 public:
  virtual ~UIViewControllerTransitionCoordinatorContext() = default;
  virtual bool isAnimated() const = 0;
  virtual Foundation::TimeInterval transitionDuration() const = 0;
  // True when the transition was undone rather than completed.
  virtual bool isCancelled() const = 0;
};

// Swift `UIViewControllerTransitionCoordinator`: what the controllers of a present or dismiss
// in progress hand out (`UIViewController::transitionCoordinator`). Main thread only.
class UIViewControllerTransitionCoordinator final
    : public UIViewControllerTransitionCoordinatorContext {
 public:
  using Block = std::function<void(const UIViewControllerTransitionCoordinatorContext&)>;

  UIViewControllerTransitionCoordinator(bool animated, Foundation::TimeInterval duration)
      : animated_(animated), duration_(duration) {}

  bool isAnimated() const override { return animated_; }
  Foundation::TimeInterval transitionDuration() const override { return duration_; }
  bool isCancelled() const override { return cancelled_; }

  // Swift `animate(alongsideTransition:completion:)`. `animation` runs at once, animated over
  // the transition's duration; `completion` runs once the transition has ended, completed or
  // undone, with the controllers already in their final state and before the present's or
  // dismiss's own completion. False, and nothing runs, once the transition has ended.
  bool animate(Block animation, Block completion);

 private:
  friend class UIViewController;
  // From the controller that ran the transition, once it has ended.
  void finish(bool completed);

  const bool animated_;
  const Foundation::TimeInterval duration_;
  bool cancelled_ = false;
  bool finished_ = false;
  std::vector<Block> completions_;
};

// Swift `UIViewControllerTransitioningDelegate`; asked for animated presents and dismisses
// of the controller it is set on. Null answers keep the platform's own transition. The two
// Swift `animationController(for...)` forms get distinct names here.
class UIViewControllerTransitioningDelegate {
 public:
  virtual ~UIViewControllerTransitioningDelegate() = default;
  virtual std::shared_ptr<UIViewControllerAnimatedTransitioning> animationControllerForPresented(
      const std::shared_ptr<UIViewController>& /*presented*/,
      const std::shared_ptr<UIViewController>& /*presenting*/,
      const std::shared_ptr<UIViewController>& /*source*/) {
    return nullptr;
  }
  virtual std::shared_ptr<UIViewControllerAnimatedTransitioning> animationControllerForDismissed(
      const std::shared_ptr<UIViewController>& /*dismissed*/) {
    return nullptr;
  }
};

}  // namespace UIKit
