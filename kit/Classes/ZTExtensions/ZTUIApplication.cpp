#include "ZTExtensions/ZTUIApplication.hpp"

#include <algorithm>
#include <vector>

#include <UIKit/UIApplication.hpp>
#include <UIKit/UINavigationController.hpp>
#include <UIKit/UIPresentationController.hpp>
#include <UIKit/UITabBarController.hpp>
#include <UIKit/UIView.hpp>
#include <UIKit/UIWindow.hpp>

namespace ZentrelSDK {

using UIKit::UINavigationController;
using UIKit::UITabBarController;
using UIKit::UIViewController;

namespace {
// Every controller the kit presented, held weakly. Main thread only.
std::vector<std::weak_ptr<UIViewController>>& kitPresented() {
  static auto* presented = new std::vector<std::weak_ptr<UIViewController>>;
  return *presented;
}
}  // namespace

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

std::shared_ptr<UIKit::UIWindow> ZTUIApplication::presentationWindow(
    const UIViewController& controller) {
  // The presentation's container, not the view: a full-screen screen over the controller may
  // take its view out of the window while it is only covered.
  const UIViewController* presented = &controller;
  std::shared_ptr<UIViewController> parent;
  while (!presented->presentationController()) {
    parent = presented->parent();
    if (!parent) return nullptr;
    presented = parent.get();
  }
  const auto& container = presented->presentationController()->containerView();
  return container ? container->window() : nullptr;
}

std::shared_ptr<UIKit::UIWindow> ZTUIApplication::shownIn(const UIViewController& controller) {
  if (controller.isBeingDismissed() || !controller.presentingViewController()) return nullptr;
  auto root = controller.presentingViewController();
  for (auto below = root; below; below = below->presentingViewController()) {
    if (below->isBeingDismissed()) return nullptr;
    root = below;
  }
  auto window = presentationWindow(controller);
  if (!window) return nullptr;
  // Cut off from the root it was presented from: the window has another root, or the root was
  // moved into another window. This holds whatever order the views leave the window in.
  while (auto parent = root->parent()) root = parent;
  if (window->rootViewController() != root) return nullptr;
  const auto& rootView = root->viewIfLoaded();
  auto rootWindow = rootView ? rootView->window() : nullptr;
  // Out of every window, the root is only covered by a full-screen screen.
  return !rootWindow || rootWindow == window ? window : nullptr;
}

bool ZTUIApplication::isShown(const UIViewController& controller) {
  return shownIn(controller) != nullptr;
}

bool ZTUIApplication::isSeen(const UIViewController& controller) {
  auto window = shownIn(controller);
  return window && !window->isHidden();
}

void ZTUIApplication::present(UIViewController& from, std::shared_ptr<UIViewController> controller,
                              bool animated, std::function<void()> completion) {
  if (controller) {
    auto& presented = kitPresented();
    std::erase_if(presented, [](const auto& weak) { return weak.expired(); });
    presented.push_back(controller);
  }
  from.present(std::move(controller), animated, std::move(completion));
}

bool ZTUIApplication::presentedByKit(const UIViewController& controller) {
  const auto& presented = kitPresented();
  return std::any_of(presented.begin(), presented.end(),
                     [&](const auto& weak) { return weak.lock().get() == &controller; });
}

bool ZTUIApplication::compareControllers(const UIViewController& controller,
                                         const std::string& comareName) {
  return controller.description() == comareName;
}

}  // namespace ZentrelSDK
