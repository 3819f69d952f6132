#include "ZTUIComponents/PresentLikePush/ZTTransitionClasses.hpp"

#include <UIKit/UIView.hpp>

namespace ZentrelSDK {

using UIKit::CGRect;
using UIKit::UIView;

Foundation::TimeInterval RightToLeftTransition::transitionDuration(
    const std::shared_ptr<UIKit::UIViewControllerContextTransitioning>& /*context*/) {
  return duration;
}

void RightToLeftTransition::animateTransition(
    const std::shared_ptr<UIKit::UIViewControllerContextTransitioning>& context) {
  if (!context) return;
  auto container = context->containerView();
  auto toView = context->view(UIKit::UITransitionContextToViewKey);
  if (!container || !toView) {
    context->completeTransition(true);
    return;
  }
  toView->setFrame(container->frame());
  container->addSubview(toView);
  const auto size = toView->frame().size;
  toView->setFrame(CGRect::make(size.width, 0, size.width, size.height));
  UIView::animate(
      duration, 0, UIView::AnimationOptions::curveEaseOut,
      [toView, size] { toView->setFrame(CGRect::make(0, 0, size.width, size.height)); },
      [context](bool) { context->completeTransition(true); });
}

Foundation::TimeInterval LeftToRightTransition::transitionDuration(
    const std::shared_ptr<UIKit::UIViewControllerContextTransitioning>& /*context*/) {
  return duration;
}

void LeftToRightTransition::animateTransition(
    const std::shared_ptr<UIKit::UIViewControllerContextTransitioning>& context) {
  if (!context) return;
  auto container = context->containerView();
  auto fromView = context->view(UIKit::UITransitionContextFromViewKey);
  if (!container || !fromView) {
    context->completeTransition(true);
    return;
  }
  container->addSubview(fromView);
  const auto size = fromView->frame().size;
  fromView->setFrame(CGRect::make(0, 0, size.width, size.height));
  UIView::animate(
      duration, 0, UIView::AnimationOptions::curveEaseIn,
      [fromView, size] {
        fromView->setFrame(CGRect::make(size.width, 0, size.width, size.height));
      },
      [fromView, context](bool) {
        fromView->removeFromSuperview();
        context->completeTransition(true);
      });
}

}  // namespace ZentrelSDK
