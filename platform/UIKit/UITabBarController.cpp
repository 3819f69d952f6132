#include "UIKit/UITabBarController.hpp"

#include <algorithm>

#include "UIKit/UIScreen.hpp"
#include "UIKit/UIView.hpp"

namespace UIKit {

std::shared_ptr<UIViewController> UITabBarController::selectedViewController() const {
  auto selected = selected_.lock();
  if (selected && selected->parent().get() == this) return selected;
  return nullptr;
}

std::optional<std::size_t> UITabBarController::selectedIndex() const {
  auto selected = selectedViewController();
  const auto& list = children();
  auto it = std::find(list.begin(), list.end(), selected);
  if (!selected || it == list.end()) return std::nullopt;
  return static_cast<std::size_t>(it - list.begin());
}

void UITabBarController::setViewControllers(
    std::vector<std::shared_ptr<UIViewController>> controllers, bool /*animated*/) {
  auto previous = selectedViewController();
  for (auto& child : std::vector(children())) {
    child->willMove(nullptr);
    if (child->isViewLoaded()) child->viewIfLoaded()->removeFromSuperview();
    child->removeFromParent();
  }
  for (auto& controller : controllers) {
    if (!controller) continue;
    addChild(controller);
    controller->didMove(this);
  }
  const bool kept = previous && previous->parent().get() == this;
  selected_.reset();
  selectChild(kept ? previous : (children().empty() ? nullptr : children().front()));
}

void UITabBarController::setSelectedViewController(
    const std::shared_ptr<UIViewController>& controller) {
  if (!controller || controller->parent().get() != this) return;
  selectChild(controller);
}

void UITabBarController::setSelectedIndex(std::size_t index) {
  if (index < children().size()) selectChild(children()[index]);
}

std::vector<std::shared_ptr<UIViewController>> UITabBarController::childrenForAppearance() const {
  if (auto selected = selectedViewController()) return {selected};
  return {};
}

void UITabBarController::loadView() {
  setView(std::make_shared<UIView>(UIScreen::main().bounds()));
  if (auto selected = selectedViewController()) {
    auto view = selected->view();
    view->setFrame(viewIfLoaded()->bounds());
    viewIfLoaded()->addSubview(view);
  }
}

void UITabBarController::selectChild(const std::shared_ptr<UIViewController>& controller) {
  auto previous = selected_.lock();
  if (previous == controller && previous) return;
  auto view = viewIfLoaded();
  const bool onScreen = view && view->window();
  if (onScreen && previous && previous->parent().get() == this)
    previous->beginAppearanceTransition(false, false);
  if (onScreen && controller) controller->beginAppearanceTransition(true, false);
  if (view && previous && previous->isViewLoaded()) previous->viewIfLoaded()->removeFromSuperview();
  selected_ = controller;
  if (view && controller) {
    auto child = controller->view();
    child->setFrame(view->bounds());
    child->setAutoresizingMask(UIView::AutoresizingMask::flexibleWidth |
                               UIView::AutoresizingMask::flexibleHeight);
    view->addSubview(child);
  }
  if (onScreen && previous) previous->endAppearanceTransition();
  if (onScreen && controller) controller->endAppearanceTransition();
}

}  // namespace UIKit
