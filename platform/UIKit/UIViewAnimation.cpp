#include "UIKit/UIView.hpp"

#include <algorithm>

#include "Dispatch/DispatchQueue.hpp"
#include "QuartzCore/CABasicAnimation.hpp"
#include "UIKit/UIDevice.hpp"

namespace UIKit {

namespace {
bool animationsEnabled = true;

// The model values of the views an animation block changes, as they were before it.
struct AnimatedChange {
  std::weak_ptr<UIView> view;
  std::shared_ptr<QuartzCore::CALayer> layer;
  CGPoint position;
  CGRect bounds;
  float opacity = 1;
  QuartzCore::CATransform3D transform;
};
std::vector<AnimatedChange>* capturing = nullptr;

// Gathers the stops of one block's layer animations and completes when the last has stopped;
// any stop short of the end (animations removed) makes the whole animation unfinished.
class AnimationGroup : public QuartzCore::CAAnimationDelegate {
 public:
  explicit AnimationGroup(std::function<void(bool)> completion)
      : completion_(std::move(completion)) {}
  void expect() { ++pending_; }
  void animationDidStop(QuartzCore::CAAnimation& /*animation*/, bool finished) override {
    if (!finished) finished_ = false;
    if (pending_ > 0 && --pending_ == 0) complete();
  }
  // At the end of the duration: completes a block that animated no layer, or whose layers
  // went away before their animations could stop. Nothing once already completed.
  void deadline() {
    if (pending_ > 0) finished_ = false;
    pending_ = 0;
    complete();
  }

 private:
  void complete() {
    auto completion = std::move(completion_);
    completion_ = nullptr;
    if (completion) completion(finished_);
  }
  std::function<void(bool)> completion_;
  int pending_ = 0;
  bool finished_ = true;
};

QuartzCore::CAMediaTimingFunction curveOf(UIView::AnimationOptions options) {
  using O = UIView::AnimationOptions;
  using N = QuartzCore::CAMediaTimingFunction::Name;
  const auto curve = options & O::curveLinear;  // the two curve bits
  if (curve == O::curveEaseIn) return QuartzCore::CAMediaTimingFunction(N::easeIn);
  if (curve == O::curveEaseOut) return QuartzCore::CAMediaTimingFunction(N::easeOut);
  if (curve == O::curveLinear) return QuartzCore::CAMediaTimingFunction(N::linear);
  return QuartzCore::CAMediaTimingFunction(N::easeInEaseOut);
}

}  // namespace

void UIView::noteAnimatedChange() {
  if (!capturing || weak_from_this().expired()) return;  // one being made has nothing to leave

  for (const auto& change : *capturing) {
    if (change.layer == layer_) return;
  }
  capturing->push_back({sharedAs<UIView>(), layer_, layer_->position(), layer_->bounds(),
                        layer_->opacity, layer_->transform});
}

void UIView::animate(Foundation::TimeInterval duration, const std::function<void()>& animations,
                     std::function<void(bool)> completion) {
  animate(duration, 0, AnimationOptions::none, animations, std::move(completion));
}

void UIView::animate(Foundation::TimeInterval duration, Foundation::TimeInterval delay,
                     AnimationOptions options, const std::function<void()>& animations,
                     std::function<void(bool)> completion) {
  const auto total = effectiveDuration(duration) + effectiveDuration(delay);
  std::vector<AnimatedChange> changes;
  if (animations) {
    // A block inside another one belongs to the outer animation.
    auto* outer = capturing;
    if (!outer && total > 0) capturing = &changes;
    animations();
    capturing = outer;
  }
  auto group = std::make_shared<AnimationGroup>(std::move(completion));
  for (const auto& change : changes) {
    auto add = [&](const char* keyPath, QuartzCore::CAValue from, QuartzCore::CAValue to) {
      if (from == to) return;
      auto animation = std::make_shared<QuartzCore::CABasicAnimation>(keyPath);
      animation->fromValue = from;
      animation->toValue = to;
      animation->duration = total;
      animation->timingFunction = curveOf(options);
      animation->delegate = group;
      group->expect();
      change.layer->add(animation, std::nullopt);
    };
    add("position", change.position, change.layer->position());
    add("bounds", change.bounds, change.layer->bounds());
    add("opacity", CGFloat(change.opacity), CGFloat(change.layer->opacity));
    add("transform", change.transform, change.layer->transform);
  }
  // Keeps the group (the animations hold it weakly) until its end is known; it runs after the
  // layers' own stops, which were scheduled first for the same time.
  Dispatch::DispatchQueue::main().asyncAfter(total, [group] { group->deadline(); });
}

void UIView::setAnimationsEnabled(bool enabled) {
  animationsEnabled = enabled;
}

bool UIView::areAnimationsEnabled() {
  return animationsEnabled;
}

Foundation::TimeInterval UIView::effectiveDuration(Foundation::TimeInterval duration) {
  return animationsEnabled ? std::max<Foundation::TimeInterval>(duration, 0) : 0;
}

void UIView::transition(const std::shared_ptr<UIView>& view, Foundation::TimeInterval duration,
                        AnimationOptions options, const std::function<void()>& animations,
                        std::function<void(bool)> completion) {
  (void)view;  // nothing is drawn, so only the timing of the turn is kept
  animate(
      duration, 0, options, animations ? animations : [] {}, std::move(completion));
}

std::shared_ptr<UIView> UIView::snapshotView(bool /*afterScreenUpdates*/) const {
  if (!SimulatedDevice::snapshotsAvailable) return nullptr;
  return std::make_shared<UIView>(CGRect{{0, 0}, bounds_.size});
}

}  // namespace UIKit
