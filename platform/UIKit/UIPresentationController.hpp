#pragma once

#include <memory>

#include "CoreGraphics/CGGeometry.hpp"

namespace UIKit {

class UIView;
class UIViewController;

// Places a presented controller's view: each presentation gets a container view in the
// window, frontmost, holding whatever the presentation adds and the presented view.
class UIPresentationController {
 public:
  UIPresentationController(const std::shared_ptr<UIViewController>& presented,
                           const std::shared_ptr<UIViewController>& presenting);
  virtual ~UIPresentationController() = default;
  UIPresentationController(const UIPresentationController&) = delete;
  UIPresentationController& operator=(const UIPresentationController&) = delete;

  std::shared_ptr<UIViewController> presentedViewController() const { return presented_.lock(); }
  std::shared_ptr<UIViewController> presentingViewController() const { return presenting_.lock(); }
  // Set once the presentation has begun.
  const std::shared_ptr<UIView>& containerView() const { return container_; }

  // The whole container by default.
  virtual CGRect frameOfPresentedViewInContainerView() const;
  // True when the presented view hides the presenter's (full-screen and current-context
  // styles), which then gets its disappearance callbacks.
  virtual bool shouldRemovePresentersView() const;

  virtual void presentationTransitionWillBegin() {}
  virtual void presentationTransitionDidEnd(bool /*completed*/) {}
  virtual void dismissalTransitionWillBegin() {}
  virtual void dismissalTransitionDidEnd(bool /*completed*/) {}

 private:
  friend class UIViewController;
  std::weak_ptr<UIViewController> presented_;
  std::weak_ptr<UIViewController> presenting_;
  std::shared_ptr<UIView> container_;
};

}  // namespace UIKit
