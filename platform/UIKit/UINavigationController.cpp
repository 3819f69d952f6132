#include "UIKit/UINavigationController.hpp"

#include <algorithm>

#include "Dispatch/DispatchQueue.hpp"
#include "UIKit/UIScreen.hpp"
#include "UIKit/UIView.hpp"

namespace UIKit {

namespace {
void embed(UIView& container, const std::shared_ptr<UIViewController>& child) {
  auto view = child->view();
  view->setFrame(container.bounds());
  view->setAutoresizingMask(UIView::AutoresizingMask::flexibleWidth |
                            UIView::AutoresizingMask::flexibleHeight);
  container.addSubview(view);
}
}  // namespace

UINavigationController::UINavigationController() = default;

UINavigationController::UINavigationController(std::shared_ptr<UIViewController> root) {
  if (root) addChild(root);
}

std::shared_ptr<UIViewController> UINavigationController::topViewController() const {
  return children().empty() ? nullptr : children().back();
}

std::shared_ptr<UIViewController> UINavigationController::visibleViewController() const {
  if (auto presented = presentedViewController()) return presented;
  return topViewController();
}

std::vector<std::shared_ptr<UIViewController>> UINavigationController::childrenForAppearance()
    const {
  if (auto top = topViewController()) return {top};
  return {};
}

void UINavigationController::loadView() {
  setView(std::make_shared<UIView>(UIScreen::main().bounds()));
  if (auto top = topViewController()) embed(*viewIfLoaded(), top);
}

void UINavigationController::setViewControllers(
    std::vector<std::shared_ptr<UIViewController>> controllers, bool animated) {
  auto previous = topViewController();
  for (auto& child : std::vector(children())) {
    if (std::find(controllers.begin(), controllers.end(), child) == controllers.end()) {
      child->willMove(nullptr);
      child->removeFromParent();
    }
  }
  for (auto& controller : controllers) {
    if (!controller) continue;
    controller->removeFromParent();
    addChild(controller);
    controller->didMove(this);
  }
  showTop(previous, animated);
}

void UINavigationController::pushViewController(std::shared_ptr<UIViewController> controller,
                                                bool animated) {
  if (!controller || controller->parent().get() == this) return;
  auto previous = topViewController();
  addChild(controller);
  controller->didMove(this);
  showTop(previous, animated);
}

std::shared_ptr<UIViewController> UINavigationController::popViewController(bool animated) {
  if (children().size() < 2) return nullptr;
  auto popped = topViewController();
  popped->willMove(nullptr);
  popped->removeFromParent();
  showTop(popped, animated);
  return popped;
}

void UINavigationController::showTop(const std::shared_ptr<UIViewController>& previous,
                                     bool animated) {
  auto top = topViewController();
  if (top == previous) return;
  auto view = viewIfLoaded();
  const bool onScreen = view && view->window();
  if (onScreen) {
    if (previous) previous->beginAppearanceTransition(false, animated);
    if (top) top->beginAppearanceTransition(true, animated);
  }
  if (view) {
    if (previous && previous->isViewLoaded()) previous->viewIfLoaded()->removeFromSuperview();
    if (top) embed(*view, top);
  }
  if (!onScreen) return;
  auto finish = [previous, top] {
    if (previous) previous->endAppearanceTransition();
    if (top) top->endAppearanceTransition();
  };
  if (!animated) {
    finish();
    return;
  }
  Dispatch::DispatchQueue::main().asyncAfter(UIView::effectiveDuration(transitionDuration), finish);
}

}  // namespace UIKit
