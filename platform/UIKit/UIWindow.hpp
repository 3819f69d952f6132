#pragma once

#include <memory>

#include "UIKit/UIView.hpp"

namespace UIKit {

class UIViewController;

// The top of a view hierarchy. Holds its root view controller, whose view fills it; presented
// controllers' views are placed above it. Hidden until made key and visible.
class UIWindow : public UIView {
 public:
  UIWindow();  // the screen's bounds
  explicit UIWindow(CGRect frame);
  ~UIWindow() override;

  const std::shared_ptr<UIViewController>& rootViewController() const { return root_; }
  // Replaces what the window shows with the controller's view.
  void setRootViewController(std::shared_ptr<UIViewController> controller);
  void makeKeyAndVisible();
  bool isKeyWindow() const;

  std::shared_ptr<UIWindow> window() const override;

  // One finger tapping at `point` (window coordinates), delivered as the touch system does:
  // the hit-test view gets the touch; the nearest enabled gesture recognizer on it or above
  // it may recognize first and, if it cancels touches in its view, the view's touch is
  // cancelled instead of ended. Returns the view that was hit, or null.
  std::shared_ptr<UIView> sendTap(CGPoint point);

 private:
  std::shared_ptr<UIViewController> root_;
};

}  // namespace UIKit
