#include "UIKit/UIPresentationController.hpp"

#include "UIKit/UIView.hpp"
#include "UIKit/UIViewController.hpp"

namespace UIKit {

UIPresentationController::UIPresentationController(
    const std::shared_ptr<UIViewController>& presented,
    const std::shared_ptr<UIViewController>& presenting)
    : presented_(presented), presenting_(presenting) {}

CGRect UIPresentationController::frameOfPresentedViewInContainerView() const {
  return container_ ? container_->bounds() : CGRect{};
}

bool UIPresentationController::shouldRemovePresentersView() const {
  auto presented = presented_.lock();
  if (!presented) return false;
  const auto style = presented->modalPresentationStyle();
  return style == UIModalPresentationStyle::fullScreen ||
         style == UIModalPresentationStyle::currentContext;
}

}  // namespace UIKit
