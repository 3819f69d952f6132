#include "UIKit/UIView.hpp"
#include "UIKit/UIViewController.hpp"
#include "UIKit/UIViewControllerTransitioning.hpp"

namespace UIKit {

bool UIViewControllerTransitionCoordinator::animate(Block animation, Block completion) {
  if (finished_) return false;
  if (animation) UIView::animate(duration_, [&] { animation(*this); });
  if (completion) completions_.push_back(std::move(completion));
  return true;
}

void UIViewControllerTransitionCoordinator::finish(bool completed) {
  if (finished_) return;
  finished_ = true;
  cancelled_ = !completed;
  // A block may ask again (and hear false) or start another transition.
  auto blocks = std::move(completions_);
  completions_.clear();
  for (auto& block : blocks) block(*this);
}

// The controllers' side.

std::shared_ptr<UIViewControllerTransitionCoordinator> UIViewController::transitionCoordinator()
    const {
  if (coordinator_) return coordinator_;
  if (auto p = parent()) return p->transitionCoordinator();
  return nullptr;
}

void UIViewController::beginCoordination(
    const std::shared_ptr<UIViewControllerTransitionCoordinator>& coordinator,
    const std::vector<std::shared_ptr<UIViewController>>& controllers) {
  for (const auto& c : controllers) c->coordinator_ = coordinator;
}

void UIViewController::endCoordination(
    const std::shared_ptr<UIViewControllerTransitionCoordinator>& coordinator,
    const std::vector<std::shared_ptr<UIViewController>>& controllers) {
  for (const auto& c : controllers) {
    if (c->coordinator_ == coordinator) c->coordinator_.reset();
  }
}

}  // namespace UIKit
