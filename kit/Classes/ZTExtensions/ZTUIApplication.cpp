#include "ZTExtensions/ZTUIApplication.hpp"

#include <UIKit/UIApplication.hpp>
#include <UIKit/UINavigationController.hpp>
#include <UIKit/UITabBarController.hpp>
#include <UIKit/UIView.hpp>
#include <UIKit/UIWindow.hpp>

namespace ZentrelSDK {

using UIKit::UINavigationController;
using UIKit::UITabBarController;
using UIKit::UIViewController;

std::shared_ptr<UIViewController> ZTUIApplication::keyWindowRoot() {
  auto window = UIKit::UIApplication::shared().keyWindow();
  return window ? window->rootViewController() : nullptr;
}

std::shared_ptr<UIViewController> ZTUIApplication::topViewController() {
  return topViewController(keyWindowRoot());
}

std::shared_ptr<UIViewController> ZTUIApplication::topViewController(
    const std::shared_ptr<UIViewController>& controller) {
  if (!controller) return nullptr;
  if (auto navigation = std::dynamic_pointer_cast<UINavigationController>(controller))
    return topViewController(navigation->visibleViewController());
  if (auto tab = std::dynamic_pointer_cast<UITabBarController>(controller)) {
    if (auto selected = tab->selectedViewController()) return topViewController(selected);
  }
  if (auto presented = controller->presentedViewController()) return topViewController(presented);
  return controller;
}

std::shared_ptr<UIViewController> ZTUIApplication::getViewController(const std::string& name) {
  return getViewController(keyWindowRoot(), name);
}

std::shared_ptr<UIViewController> ZTUIApplication::getViewController(
    const std::shared_ptr<UIViewController>& controller, const std::string& name) {
  if (!controller) return nullptr;
  auto navigation = std::dynamic_pointer_cast<UINavigationController>(controller);
  if (navigation && !compareControllers(*navigation, name))
    return getViewController(navigation->visibleViewController(), name);
  if (auto tab = std::dynamic_pointer_cast<UITabBarController>(controller)) {
    auto selected = tab->selectedViewController();
    if (selected && !compareControllers(*selected, name)) return getViewController(selected, name);
  }
  auto presented = controller->presentedViewController();
  if (presented && !compareControllers(*presented, name)) return getViewController(presented, name);
  return controller;
}

bool ZTUIApplication::isShown(const UIViewController& controller) {
  if (controller.isBeingDismissed() || !controller.presentingViewController()) return false;
  for (auto below = controller.presentingViewController(); below;
       below = below->presentingViewController()) {
    if (below->isBeingDismissed()) return false;
  }
  // The front of the chain, not the controller: a full-screen screen over the controller takes
  // the views under it out of the window while it is only covered.
  const UIViewController* front = &controller;
  for (auto above = controller.presentedViewController(); above;
       above = above->presentedViewController())
    front = above.get();  // the chain holds it
  const auto& view = front->viewIfLoaded();
  auto window = view ? view->window() : nullptr;
  // What the user sees: the key window, and only while it is not hidden.
  return window && !window->isHidden() && window->isKeyWindow();
}

bool ZTUIApplication::compareControllers(const UIViewController& controller,
                                         const std::string& comareName) {
  return controller.description() == comareName;
}

}  // namespace ZentrelSDK
