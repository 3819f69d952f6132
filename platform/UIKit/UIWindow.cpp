#include "UIKit/UIWindow.hpp"

#include "UIKit/UIApplication.hpp"
#include "UIKit/UIGestureRecognizer.hpp"
#include "UIKit/UIScreen.hpp"
#include "UIKit/UITouch.hpp"
#include "UIKit/UIViewController.hpp"

namespace UIKit {

UIWindow::UIWindow() : UIWindow(UIScreen::main().bounds()) {}

UIWindow::UIWindow(CGRect frame) : UIView(frame) {
  setHidden(true);
}

UIWindow::~UIWindow() {
  UIApplication::shared().removeWindow(this);
}

std::shared_ptr<UIWindow> UIWindow::window() const {
  return std::static_pointer_cast<UIWindow>(const_cast<UIWindow*>(this)->weak_from_this().lock());
}

bool UIWindow::isKeyWindow() const {
  return UIApplication::shared().keyWindow().get() == this;
}

void UIWindow::setRootViewController(std::shared_ptr<UIViewController> controller) {
  if (controller == root_) return;
  auto old = std::move(root_);
  const bool visible = !isHidden();
  if (old && visible) old->beginAppearanceTransition(false, false);
  // What the old root showed, its presentations included, leaves with it.
  for (auto& sub : std::vector(subviews())) sub->removeFromSuperview();
  if (old && visible) old->endAppearanceTransition();
  root_ = std::move(controller);
  if (!root_) return;
  auto view = root_->view();
  view->setFrame(bounds());
  view->setAutoresizingMask(AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight);
  insertSubview(view, 0);
  if (visible) {
    root_->beginAppearanceTransition(true, false);
    root_->endAppearanceTransition();
  }
}

void UIWindow::makeKeyAndVisible() {
  auto self = window();
  UIApplication::shared().makeKey(self);
  if (!isHidden()) return;
  setHidden(false);
  if (root_) {
    root_->beginAppearanceTransition(true, false);
    root_->endAppearanceTransition();
  }
}

std::shared_ptr<UIView> UIWindow::sendTap(CGPoint point) {
  auto hit = hitTest(point);
  if (!hit) return nullptr;
  const UITouch touch(window(), point, hit);
  std::vector<std::shared_ptr<UIGestureRecognizer>> candidates;
  for (auto v = hit; v; v = v->superview()) {
    for (const auto& recognizer : v->gestureRecognizers()) {
      if (recognizer->isEnabled()) candidates.push_back(recognizer);
    }
  }
  hit->touchesBegan(touch);
  for (auto& recognizer : candidates) recognizer->touchesBegan(touch);
  bool cancelTouch = false;
  bool taken = false;
  for (auto& recognizer : candidates) {
    if (taken) {
      recognizer->touchesCancelled(touch);  // one gesture per touch
      continue;
    }
    recognizer->touchesEnded(touch);
    if (recognizer->state() == UIGestureRecognizer::recognized) {
      taken = true;
      cancelTouch = recognizer->cancelsTouchesInView();
    }
  }
  for (auto& recognizer : candidates) recognizer->reset();
  if (cancelTouch) {
    hit->touchesCancelled(touch);
  } else {
    hit->touchesEnded(touch);
  }
  return hit;
}

}  // namespace UIKit
