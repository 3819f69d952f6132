#include "UIKit/UIWindow.hpp"

#include <Foundation/NotificationCenter.hpp>

#include "UIKit/UIApplication.hpp"
#include "UIKit/UIGestureRecognizer.hpp"
#include "UIKit/UIScreen.hpp"
#include "UIKit/UITapGestureRecognizer.hpp"
#include "UIKit/UITouch.hpp"
#include "UIKit/UIViewController.hpp"

namespace UIKit {

UIWindow::UIWindow() : UIWindow(UIScreen::main().bounds()) {}

UIWindow::UIWindow(CGRect frame) : UIView(frame) {
  UIView::setHidden(true);
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

void UIWindow::setHidden(bool hidden) {
  if (hidden == isHidden()) return;
  UIView::setHidden(hidden);
  // Not while the window is being made or torn down: nobody can name it then.
  auto self = window();
  if (!self) return;
  Foundation::NotificationCenter::defaultCenter().post(
      hidden ? didBecomeHiddenNotification : didBecomeVisibleNotification, Foundation::Any(self));
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
  auto hit = beginTouches({point});
  endTouches();
  return hit;
}

std::vector<UITouch> UIWindow::touchesAt(const std::vector<CGPoint>& points) const {
  std::vector<UITouch> touches;
  for (std::size_t i = 0; i < points.size(); ++i)
    touches.emplace_back(window(), points[i], touches_->view, 1, i);
  return touches;
}

std::shared_ptr<UIView> UIWindow::beginTouches(const std::vector<CGPoint>& points) {
  if (touches_) endTouches();
  if (points.empty()) return nullptr;
  auto hit = hitTest(points.front());
  if (!hit) return nullptr;
  TouchSequence sequence{hit, {}, points, nullptr, false};
  const bool keepsTaps = hit->keepsTapsFromAncestorRecognizers();
  for (auto v = hit; v; v = v->superview()) {
    for (const auto& recognizer : v->gestureRecognizers()) {
      if (!recognizer->isEnabled()) continue;
      if (keepsTaps && v != hit && dynamic_cast<UITapGestureRecognizer*>(recognizer.get()))
        continue;
      sequence.recognizers.push_back(recognizer);
    }
  }
  touches_ = std::move(sequence);
  const auto touches = touchesAt(points);
  hit->touchesBegan(touches.front());
  for (auto& recognizer : std::vector(touches_->recognizers))
    recognizer->deliver(UIGestureRecognizer::Phase::began, touches);
  settleTaker();
  return hit;
}

void UIWindow::moveTouches(const std::vector<CGPoint>& points) {
  if (!touches_ || points.size() != touches_->points.size()) return;
  touches_->points = points;
  const auto touches = touchesAt(points);
  if (!touches_->viewCancelled) touches_->view->touchesMoved(touches.front());
  for (auto& recognizer : std::vector(touches_->recognizers)) {
    if (recognizer->isTracking()) recognizer->deliver(UIGestureRecognizer::Phase::moved, touches);
  }
  settleTaker();
}

void UIWindow::endTouches() {
  finishTouches(false);
}

void UIWindow::cancelTouches() {
  finishTouches(true);
}

void UIWindow::settleTaker() {
  // A recognizer that began late (a long press on the clock) takes the sequence here.
  auto& seq = *touches_;
  if (seq.taker) return;
  for (auto& recognizer : seq.recognizers) {
    const auto state = recognizer->state();
    if (state == UIGestureRecognizer::State::began ||
        state == UIGestureRecognizer::State::changed || state == UIGestureRecognizer::recognized) {
      seq.taker = recognizer;
      break;
    }
  }
  if (!seq.taker) return;
  const auto touches = touchesAt(seq.points);
  for (auto& recognizer : seq.recognizers) {
    if (recognizer != seq.taker && recognizer->isTracking())
      recognizer->deliver(UIGestureRecognizer::Phase::cancelled, touches);  // one per touch
  }
  if (seq.taker->cancelsTouchesInView() && !seq.viewCancelled) {
    seq.viewCancelled = true;
    seq.view->touchesCancelled(touches.front());
  }
}

void UIWindow::finishTouches(bool cancelled) {
  if (!touches_) return;
  const auto phase =
      cancelled ? UIGestureRecognizer::Phase::cancelled : UIGestureRecognizer::Phase::ended;
  const auto touches = touchesAt(touches_->points);
  settleTaker();
  bool oneRecognized = false;
  for (auto& recognizer : std::vector(touches_->recognizers)) {
    if (!recognizer->isTracking() || (touches_->taker && recognizer != touches_->taker)) continue;
    // As on the platform, one gesture takes the sequence: the nearest view's first, so a tap
    // on a view with a recognizer of its own does not also fire those of its ancestors.
    if (oneRecognized) continue;
    recognizer->deliver(phase, touches);
    if (!cancelled && recognizer->state() == UIGestureRecognizer::recognized) oneRecognized = true;
  }
  settleTaker();
  auto sequence = std::move(*touches_);
  touches_.reset();
  for (auto& recognizer : sequence.recognizers) recognizer->reset();
  if (sequence.viewCancelled) return;
  if (cancelled) {
    sequence.view->touchesCancelled(touches.front());
  } else {
    sequence.view->touchesEnded(touches.front());
  }
}

}  // namespace UIKit
