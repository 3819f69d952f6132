#include "QuartzCore/CALayer.hpp"

#include <algorithm>

#include "Dispatch/DispatchQueue.hpp"
#include "QuartzCore/CABasicAnimation.hpp"

namespace QuartzCore {

namespace {
std::uint64_t nextAnimationID() {
  static std::uint64_t id = 0;
  return ++id;
}

void notifyStop(const std::shared_ptr<CAAnimation>& animation, bool finished) {
  Dispatch::DispatchQueue::main().async([animation, finished] {
    if (auto delegate = animation->delegate.lock())
      delegate->animationDidStop(*animation, finished);
  });
}
}  // namespace

CALayer::~CALayer() {
  for (auto& sub : sublayers_) sub->superlayer_ = nullptr;
}

CGRect CALayer::frame() const {
  return CGRect::make(position_.x - bounds_.size.width / 2, position_.y - bounds_.size.height / 2,
                      bounds_.size.width, bounds_.size.height);
}

void CALayer::setFrame(CGRect frame) {
  const CGRect r = frame.standardized();
  bounds_.size = r.size;
  position_ = {r.midX(), r.midY()};
}

std::shared_ptr<CALayer> CALayer::superlayer() const {
  if (!superlayer_) return nullptr;
  return superlayer_->weak_from_this().lock();
}

void CALayer::addSublayer(const std::shared_ptr<CALayer>& layer) {
  insertSublayer(layer, sublayers_.size());
}

void CALayer::insertSublayer(const std::shared_ptr<CALayer>& layer, std::size_t index) {
  if (!layer || layer.get() == this) return;
  auto keep = layer;
  keep->removeFromSuperlayer();
  index = std::min(index, sublayers_.size());
  sublayers_.insert(sublayers_.begin() + static_cast<std::ptrdiff_t>(index), keep);
  keep->superlayer_ = this;
}

void CALayer::removeFromSuperlayer() {
  if (!superlayer_) return;
  auto keep = weak_from_this().lock();  // the superlayer's reference may be the last one
  auto& list = superlayer_->sublayers_;
  list.erase(std::remove(list.begin(), list.end(), keep), list.end());
  superlayer_ = nullptr;
}

void CALayer::setMask(std::shared_ptr<CALayer> mask) {
  if (mask) mask->removeFromSuperlayer();
  mask_ = std::move(mask);
}

void CALayer::add(const std::shared_ptr<CAAnimation>& animation, std::optional<std::string> key) {
  if (!animation) return;
  if (key) removeAnimation(*key);
  Attached attached;
  attached.id = nextAnimationID();
  attached.key = std::move(key);
  attached.animation = animation->copy();
  attached.begin = Foundation::Clock::current().now();
  animations_.push_back(attached);

  auto copy = attached.animation;
  Dispatch::DispatchQueue::main().async([copy] {
    if (auto delegate = copy->delegate.lock()) delegate->animationDidStart(*copy);
  });
  std::weak_ptr<CALayer> weakSelf = weak_from_this();
  const auto id = attached.id;
  Dispatch::DispatchQueue::main().asyncAfter(copy->effectiveDuration(), [weakSelf, id] {
    if (auto self = weakSelf.lock()) self->finish(id);
  });
}

void CALayer::finish(std::uint64_t id) {
  auto it = std::find_if(animations_.begin(), animations_.end(),
                         [id](const Attached& a) { return a.id == id; });
  if (it == animations_.end() || it->finished) return;  // removed before its end
  auto animation = it->animation;
  if (animation->isRemovedOnCompletion) {
    animations_.erase(it);
  } else {
    it->finished = true;
  }
  if (auto delegate = animation->delegate.lock()) delegate->animationDidStop(*animation, true);
}

void CALayer::detach(std::vector<Attached>::iterator it) {
  auto animation = it->animation;
  const bool running = !it->finished;
  animations_.erase(it);
  // An animation that already reported its end does not report again.
  if (running) notifyStop(animation, false);
}

std::shared_ptr<CAAnimation> CALayer::animation(std::string_view key) const {
  for (const auto& a : animations_) {
    if (a.key && *a.key == key) return a.animation;
  }
  return nullptr;
}

std::vector<std::string> CALayer::animationKeys() const {
  std::vector<std::string> keys;
  for (const auto& a : animations_) {
    if (a.key) keys.push_back(*a.key);
  }
  return keys;
}

std::vector<std::shared_ptr<CAAnimation>> CALayer::allAnimations() const {
  std::vector<std::shared_ptr<CAAnimation>> list;
  for (const auto& a : animations_) list.push_back(a.animation);
  return list;
}

void CALayer::removeAnimation(std::string_view key) {
  auto it = std::find_if(animations_.begin(), animations_.end(),
                         [key](const Attached& a) { return a.key && *a.key == key; });
  if (it != animations_.end()) detach(it);
}

void CALayer::removeAllAnimations() {
  while (!animations_.empty()) detach(animations_.begin());
}

std::optional<CAValue> CALayer::valueForKeyPath(std::string_view keyPath) const {
  if (keyPath == "opacity") return CGFloat(opacity);
  if (keyPath == "position") return position_;
  if (keyPath == "bounds") return bounds_;
  if (keyPath == "cornerRadius") return cornerRadius;
  if (keyPath == "zPosition") return zPosition;
  if (keyPath == "borderWidth") return borderWidth;
  if (keyPath == "transform") return transform;
  if (keyPath == "backgroundColor" && backgroundColor) return *backgroundColor;
  return std::nullopt;
}

std::optional<CAValue> CALayer::presentationValue(std::string_view keyPath) const {
  const auto model = valueForKeyPath(keyPath);
  const auto now = Foundation::Clock::current().now();
  // The latest animation of the key path that has an effect now wins.
  for (auto it = animations_.rbegin(); it != animations_.rend(); ++it) {
    const auto* basic = dynamic_cast<const CABasicAnimation*>(it->animation.get());
    if (!basic || basic->keyPath != keyPath) continue;
    const auto from = basic->fromValue ? basic->fromValue : model;
    const auto to = basic->toValue ? basic->toValue : model;
    if (!from || !to) continue;
    if (it->finished) {
      const bool holds = basic->fillMode == CAMediaTimingFillMode::forwards ||
                         basic->fillMode == CAMediaTimingFillMode::both;
      if (holds) return to;
      continue;
    }
    const CGFloat elapsed = (now - it->begin) / basic->effectiveDuration();
    const auto timing = basic->timingFunction.value_or(CAMediaTimingFunction());
    return interpolate(*from, *to, timing.progress(elapsed));
  }
  return model;
}

}  // namespace QuartzCore
