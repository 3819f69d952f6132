#pragma once

#include <memory>

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
