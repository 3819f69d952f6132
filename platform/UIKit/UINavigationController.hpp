#pragma once

#include <memory>
#include <vector>

#include "UIKit/UIViewController.hpp"

namespace UIKit {

// A stack of controllers; the top one's view fills the navigation controller's view.
// Pushes and pops apply at once; the appearance callbacks end when the transition's
// duration has passed on the clock (at once when not animated).
class UINavigationController : public UIViewController {
 public:
  UINavigationController();
  explicit UINavigationController(std::shared_ptr<UIViewController> rootViewController);

  const std::vector<std::shared_ptr<UIViewController>>& viewControllers() const {
    return children();
  }
  void setViewControllers(std::vector<std::shared_ptr<UIViewController>> controllers,
                          bool animated);
  void pushViewController(std::shared_ptr<UIViewController> controller, bool animated);
  // The popped controller; none when only the root is left.
  std::shared_ptr<UIViewController> popViewController(bool animated);
  std::shared_ptr<UIViewController> topViewController() const;
  // What the user sees: a controller presented over the stack, else the top one.
  std::shared_ptr<UIViewController> visibleViewController() const;

  void loadView() override;
  // It brings its children on and off screen itself.
  bool shouldAutomaticallyForwardAppearanceMethods() const override { return false; }

 protected:
  std::vector<std::shared_ptr<UIViewController>> childrenForAppearance() const override;

 private:
  void showTop(const std::shared_ptr<UIViewController>& previous, bool animated);
};

}  // namespace UIKit
