#pragma once

#include <memory>

#include "UIKit/UIPresentationController.hpp"

namespace UIKit {

class UIAlertController;

// Presents an alert: a dimming view fills the container as its first subview, behind the
// alert's box, which is centred at the alert's content size. The dimming view takes no
// touches unless someone enables them.
class UIAlertPresentationController : public UIPresentationController {
 public:
  UIAlertPresentationController(const std::shared_ptr<UIAlertController>& presented,
                                const std::shared_ptr<UIViewController>& presenting);

  const std::shared_ptr<UIView>& dimmingView() const { return dimmingView_; }

  CGRect frameOfPresentedViewInContainerView() const override;
  bool shouldRemovePresentersView() const override { return false; }
  void presentationTransitionWillBegin() override;

 private:
  std::weak_ptr<UIAlertController> alert_;
  std::shared_ptr<UIView> dimmingView_;
};

}  // namespace UIKit
