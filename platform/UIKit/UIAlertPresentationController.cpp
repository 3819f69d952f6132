#include "UIKit/UIAlertPresentationController.hpp"

#include "UIKit/UIAlertController.hpp"
#include "UIKit/UIView.hpp"

namespace UIKit {

UIAlertPresentationController::UIAlertPresentationController(
    const std::shared_ptr<UIAlertController>& presented,
    const std::shared_ptr<UIViewController>& presenting)
    : UIPresentationController(presented, presenting), alert_(presented) {}

CGRect UIAlertPresentationController::frameOfPresentedViewInContainerView() const {
  const auto& container = containerView();
  auto alert = alert_.lock();
  if (!container || !alert) return {};
  const CGSize size = alert->preferredContentSize();
  const CGRect area = container->bounds();
  if (alert->preferredStyle() == UIAlertController::Style::actionSheet) {
    return CGRect::make(area.midX() - size.width / 2,
                        area.maxY() - size.height - UIAlertController::sheetMargin, size.width,
                        size.height);
  }
  return CGRect::make(area.midX() - size.width / 2, area.midY() - size.height / 2, size.width,
                      size.height);
}

void UIAlertPresentationController::presentationTransitionWillBegin() {
  const auto& container = containerView();
  if (!container) return;
  dimmingView_ = std::make_shared<UIView>(container->bounds());
  dimmingView_->setBackgroundColor(UIColor(0, 0.2));
  dimmingView_->setUserInteractionEnabled(false);
  dimmingView_->setAutoresizingMask(UIView::AutoresizingMask::flexibleWidth |
                                    UIView::AutoresizingMask::flexibleHeight);
  container->insertSubview(dimmingView_, 0);
}

}  // namespace UIKit
