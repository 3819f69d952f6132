#include "QuartzCore/CALayer.hpp"

#include <algorithm>

#include "Dispatch/DispatchQueue.hpp"
#include "QuartzCore/CABasicAnimation.hpp"
#include "QuartzCore/CATransaction.hpp"

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
  // Inside a transaction an animation without timing of its own takes the transaction's.
  if (attached.animation->duration <= 0) {
    attached.animation->duration = CATransaction::animationDuration();
  }
  if (!attached.animation->timingFunction) {
    attached.animation->timingFunction = CATransaction::animationTimingFunction();
  }
  // Whole nanoseconds, so the stop comes exactly when the duration has passed.
  const auto now = Foundation::Clock::current().uptimeNanoseconds();
  const auto begin = attached.animation->beginTime > 0
                         ? RunLoopCore::toNanoseconds(attached.animation->beginTime)
                         : now;
  attached.begin = RunLoopCore::toSeconds(begin);
  const auto end = begin + RunLoopCore::toNanoseconds(attached.animation->effectiveDuration());
  CATransaction::noteAnimationEnd(end);
  animations_.push_back(attached);

  auto copy = attached.animation;
  Dispatch::DispatchQueue::main().async([copy] {
    if (auto delegate = copy->delegate.lock()) delegate->animationDidStart(*copy);
  });
  std::weak_ptr<CALayer> weakSelf = weak_from_this();
  const auto id = attached.id;
  const auto delay = RunLoopCore::toSeconds(std::max<RunLoopCore::Nanoseconds>(0, end - now));
  Dispatch::DispatchQueue::main().asyncAfter(delay, [weakSelf, id] {
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
    if (elapsed < 0) {
      // Not started yet: only a backwards fill shows its start.
      const bool fills = basic->fillMode == CAMediaTimingFillMode::backwards ||
                         basic->fillMode == CAMediaTimingFillMode::both;
      if (fills) return from;
      continue;
    }
    const auto timing = basic->timingFunction.value_or(CAMediaTimingFunction());
    return interpolate(*from, *to, timing.progress(elapsed));
  }
  return model;
}

CGPoint CALayer::toRoot(CGPoint point) const {
  for (const CALayer* layer = this; layer; layer = layer->superlayer_) {
    const auto frame = layer->frame();
    point = {point.x - layer->bounds_.origin.x + frame.origin.x,
             point.y - layer->bounds_.origin.y + frame.origin.y};
    if (!layer->superlayer_) break;
  }
  return point;
}

CGPoint CALayer::fromRoot(CGPoint point) const {
  std::vector<const CALayer*> chain;
  for (const CALayer* layer = this; layer; layer = layer->superlayer_) chain.push_back(layer);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const auto frame = (*it)->frame();
    point = {point.x - frame.origin.x + (*it)->bounds_.origin.x,
             point.y - frame.origin.y + (*it)->bounds_.origin.y};
  }
  return point;
}

CGPoint CALayer::convertPointFrom(CGPoint point, const CALayer* layer) const {
  return fromRoot(layer ? layer->toRoot(point) : point);
}

CGPoint CALayer::convertPointTo(CGPoint point, const CALayer* layer) const {
  const auto inRoot = toRoot(point);
  return layer ? layer->fromRoot(inRoot) : inRoot;
}

bool CALayer::contains(CGPoint point) const {
  return point.x >= bounds_.origin.x && point.y >= bounds_.origin.y &&
         point.x < bounds_.origin.x + bounds_.size.width &&
         point.y < bounds_.origin.y + bounds_.size.height;
}

}  // namespace QuartzCore
