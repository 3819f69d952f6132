#include "UIKit/UIView.hpp"

#include "Dispatch/DispatchQueue.hpp"
#include "UIKit/InterfaceCoder.hpp"
#include "UIKit/NSLayoutConstraint.hpp"

namespace UIKit {

namespace {
// Views waiting for the display pass, which runs once per turn of the main run loop.
std::vector<std::weak_ptr<UIView>>& displayQueue() {
  static auto* list = new std::vector<std::weak_ptr<UIView>>;
  return *list;
}

}  // namespace

void UIView::addConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint) {
  if (!constraint) return;
  if (auto other = constraint->installedOn_.lock(); other && other.get() != this)
    other->removeConstraint(constraint);
  if (std::find(constraints_.begin(), constraints_.end(), constraint) != constraints_.end()) return;
  constraints_.push_back(constraint);
  constraint->installedOn_ = sharedAs<UIView>();
}

void UIView::removeConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint) {
  auto it = std::find(constraints_.begin(), constraints_.end(), constraint);
  if (it == constraints_.end()) return;
  constraints_.erase(it);
  constraint->installedOn_.reset();
}

NSLayoutXAxisAnchor UIView::centerXAnchor() {
  return NSLayoutXAxisAnchor(weakAs<UIView>(), NSLayoutConstraint::Attribute::centerX);
}

NSLayoutYAxisAnchor UIView::centerYAnchor() {
  return NSLayoutYAxisAnchor(weakAs<UIView>(), NSLayoutConstraint::Attribute::centerY);
}

void UIView::setNeedsDisplay() {
  needsDisplay_ = true;
  if (window()) scheduleDisplay();
}

void UIView::scheduleDisplay() {
  auto self = weakAs<UIView>();
  if (self.expired()) return;
  auto& queue = displayQueue();
  const bool passPending = !queue.empty();
  queue.push_back(self);
  if (passPending) return;
  Dispatch::DispatchQueue::main().async([] {
    auto views = std::move(displayQueue());
    displayQueue().clear();
    for (auto& weak : views) {
      auto view = weak.lock();
      if (view && view->window()) view->displayIfNeeded();
    }
  });
}

void UIView::displayIfNeeded() {
  if (!needsDisplay_) return;
  needsDisplay_ = false;
  draw(bounds_);
}

void UIView::decodeInterface(InterfaceCoder& coder) {
  if (auto frame = coder.decodeRect("frame")) setFrame(*frame);
  if (auto color = coder.decodeColor("backgroundColor")) setBackgroundColor(*color);
  if (auto alpha = coder.decodeNumber("alpha")) setAlpha(*alpha);
  if (auto hidden = coder.decodeBool("hidden")) setHidden(*hidden);
  if (auto enabled = coder.decodeBool("userInteractionEnabled"))
    setUserInteractionEnabled(*enabled);
  if (auto tag = coder.decodeNumber("tag")) setTag(static_cast<int>(*tag));
  if (auto clips = coder.decodeBool("clipsToBounds")) setClipsToBounds(*clips);
  if (auto radius = coder.decodeNumber("cornerRadius")) layer_->cornerRadius = *radius;
  if (auto id = coder.decodeString("accessibilityIdentifier")) setAccessibilityIdentifier(*id);
  if (auto label = coder.decodeString("accessibilityLabel")) setAccessibilityLabel(*label);
  if (auto names = coder.decodeStrings("autoresizingMask")) {
    using M = AutoresizingMask;
    M mask = M::none;
    for (const auto& name : *names) {
      if (name == "flexibleLeftMargin") {
        mask |= M::flexibleLeftMargin;
      } else if (name == "flexibleWidth") {
        mask |= M::flexibleWidth;
      } else if (name == "flexibleRightMargin") {
        mask |= M::flexibleRightMargin;
      } else if (name == "flexibleTopMargin") {
        mask |= M::flexibleTopMargin;
      } else if (name == "flexibleHeight") {
        mask |= M::flexibleHeight;
      } else if (name == "flexibleBottomMargin") {
        mask |= M::flexibleBottomMargin;
      } else {
        coder.reportError("autoresizingMask", "unknown flag \"" + name + "\"");
      }
    }
    setAutoresizingMask(mask);
  }
}

}  // namespace UIKit
