#pragma once

#include <memory>

#include <Foundation/Clock.hpp>
#include <UIKit/UIViewControllerTransitioning.hpp>

namespace ZentrelSDK {

// Animators that make a custom modal presentation look like a navigation push: the presented
// screen slides in from the right and slides back out to the right. The presenting screen
// returns a new one of each from its transitioning delegate.

// Presentation: the presented view slides in from the right edge.
class RightToLeftTransition : public UIKit::UIViewControllerAnimatedTransitioning {
 public:
  RightToLeftTransition() = default;

  const Foundation::TimeInterval duration = 0.25;

  Foundation::TimeInterval transitionDuration(
      const std::shared_ptr<UIKit::UIViewControllerContextTransitioning>& context) override;
  // A context without the presented view completes at once, successfully: there is nothing
  // to move, and leaving it open would block the presentation chain.
  void animateTransition(
      const std::shared_ptr<UIKit::UIViewControllerContextTransitioning>& context) override;
};

// Dismissal: the dismissed view slides out to the right edge and leaves the container.
class LeftToRightTransition : public UIKit::UIViewControllerAnimatedTransitioning {
 public:
  LeftToRightTransition() = default;

  const Foundation::TimeInterval duration = 0.25;

  Foundation::TimeInterval transitionDuration(
      const std::shared_ptr<UIKit::UIViewControllerContextTransitioning>& context) override;
  // As for the presentation: without the dismissed view it completes at once, successfully.
  void animateTransition(
      const std::shared_ptr<UIKit::UIViewControllerContextTransitioning>& context) override;
};

}  // namespace ZentrelSDK
