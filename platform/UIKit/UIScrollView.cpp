#include "UIKit/UIScrollView.hpp"

#include <algorithm>
#include <cmath>

#include "UIKit/InterfaceCoder.hpp"
#include "UIKit/UIPanGestureRecognizer.hpp"
#include "UIKit/UIRefreshControl.hpp"

namespace UIKit {

namespace {
bool finite(CGPoint p) {
  return std::isfinite(p.x) && std::isfinite(p.y);
}

// The page boundary to rest on along one axis: the nearest, or the next one in the
// direction the finger threw.
CGFloat pageStop(CGFloat offset, CGFloat start, CGFloat page, CGFloat velocity) {
  if (page <= 0) return offset;
  const CGFloat startPage = std::round(start / page);
  CGFloat target = std::round(offset / page);
  if (velocity > 0) target = std::max(target, startPage + 1);
  if (velocity < 0) target = std::min(target, startPage - 1);
  return target * page;
}
}  // namespace

// Lets the pan begin only along an axis the view scrolls.
class UIScrollView::PanGate : public UIGestureRecognizerDelegate {
 public:
  explicit PanGate(const UIScrollView& owner) : owner_(owner) {}
  bool gestureRecognizerShouldBegin(UIGestureRecognizer& recognizer) override {
    auto* pan = dynamic_cast<UIPanGestureRecognizer*>(&recognizer);
    if (!pan) return true;
    const CGPoint t = pan->translation(&owner_);
    if (std::abs(t.x) > std::abs(t.y)) return owner_.scrollsHorizontally();
    if (std::abs(t.y) > std::abs(t.x)) return owner_.scrollsVertically();
    return owner_.scrollsHorizontally() || owner_.scrollsVertically();
  }

 private:
  const UIScrollView& owner_;  // owns this gate
};

UIScrollView::UIScrollView(CGRect frame)
    : UIView(frame),
      pan_(std::make_shared<UIPanGestureRecognizer>()),
      alive_(std::make_shared<int>(0)),
      panGate_(std::make_shared<PanGate>(*this)) {
  setClipsToBounds(true);
  pan_->setDelegate(panGate_);
  pan_->setCancelsTouchesInView(true);
  pan_->addTarget(
      alive_, [this](UIGestureRecognizer& r) { panned(static_cast<UIPanGestureRecognizer&>(r)); });
  addGestureRecognizer(pan_);
}

UIScrollView::~UIScrollView() = default;

void UIScrollView::setContentSize(CGSize size) {
  if (!std::isfinite(size.width) || !std::isfinite(size.height)) return;
  contentSize_ = {std::max<CGFloat>(0, size.width), std::max<CGFloat>(0, size.height)};
}

void UIScrollView::setContentInset(UIEdgeInsets inset) {
  contentInset_ = inset;
}

void UIScrollView::setContentOffset(CGPoint offset, bool /*animated*/) {
  if (!finite(offset)) return;
  CGRect b = bounds();
  if (b.origin == offset) return;
  b.origin = offset;
  setBounds(b);
  if (auto d = delegate()) d->scrollViewDidScroll(*this);
}

void UIScrollView::setScrollEnabled(bool enabled) {
  scrollEnabled_ = enabled;
  pan_->setEnabled(enabled);
}

void UIScrollView::setRefreshControl(std::shared_ptr<UIRefreshControl> control) {
  if (refreshControl_) refreshControl_->removeFromSuperview();
  refreshControl_.reset();
  if (!control) return;
  adopt(control);
  insertSubview(control, 0);
}

void UIScrollView::adopt(const std::shared_ptr<UIRefreshControl>& control) {
  refreshControl_ = control;
  control->setFrame(CGRect::make(0, -refreshPullDistance, bounds().width(), refreshPullDistance));
  alwaysBounceVertical_ = true;
}

void UIScrollView::didAddSubview(UIView& subview) {
  auto* control = dynamic_cast<UIRefreshControl*>(&subview);
  if (!control || control == refreshControl_.get()) return;
  if (refreshControl_) refreshControl_->removeFromSuperview();
  adopt(control->sharedAs<UIRefreshControl>());
}

void UIScrollView::willRemoveSubview(UIView& subview) {
  if (&subview == refreshControl_.get()) refreshControl_.reset();
}

CGPoint UIScrollView::minimumContentOffset() const {
  return {-contentInset_.left, -contentInset_.top};
}

CGPoint UIScrollView::maximumContentOffset() const {
  const CGPoint min = minimumContentOffset();
  return {std::max(min.x, contentSize_.width + contentInset_.right - bounds().width()),
          std::max(min.y, contentSize_.height + contentInset_.bottom - bounds().height())};
}

CGPoint UIScrollView::clamped(CGPoint offset) const {
  const CGPoint min = minimumContentOffset(), max = maximumContentOffset();
  return {std::clamp(offset.x, min.x, max.x), std::clamp(offset.y, min.y, max.y)};
}

bool UIScrollView::scrollsHorizontally() const {
  return alwaysBounceHorizontal_ || maximumContentOffset().x > minimumContentOffset().x;
}

bool UIScrollView::scrollsVertically() const {
  return alwaysBounceVertical_ || maximumContentOffset().y > minimumContentOffset().y;
}

CGPoint UIScrollView::restingTarget(CGPoint velocity) const {
  CGPoint target = contentOffset();
  if (pagingEnabled_) {
    target = {pageStop(target.x, dragStart_.x, bounds().width(), velocity.x),
              pageStop(target.y, dragStart_.y, bounds().height(), velocity.y)};
  }
  return clamped(target);
}

void UIScrollView::panned(UIPanGestureRecognizer& pan) {
  using S = UIGestureRecognizer::State;
  auto keep = sharedAs<UIScrollView>();  // a delegate may let go of this view
  switch (pan.state()) {
    case S::began:
      dragging_ = true;
      dragStart_ = contentOffset();
      if (auto d = delegate()) d->scrollViewWillBeginDragging(*this);
      [[fallthrough]];
    case S::changed: {
      const CGPoint t = pan.translation(nullptr);
      CGPoint next{scrollsHorizontally() ? dragStart_.x - t.x : dragStart_.x,
                   scrollsVertically() ? dragStart_.y - t.y : dragStart_.y};
      if (!bounces_) next = clamped(next);
      setContentOffset(next);
      break;
    }
    case S::ended: {
      // The content moves against the finger, in points per millisecond.
      const CGPoint finger = pan.velocity(nullptr);
      const CGPoint velocity{-finger.x / 1000, -finger.y / 1000};
      const CGPoint proposed = restingTarget(velocity);
      CGPoint target = proposed;
      if (auto d = delegate()) d->scrollViewWillEndDragging(*this, velocity, target);
      target = finite(target) ? clamped(target) : proposed;
      dragging_ = false;
      if (refreshControl_ && !refreshControl_->isRefreshing() &&
          contentOffset().y <= minimumContentOffset().y - refreshPullDistance)
        refreshControl_->pulled();
      const bool decelerate = !(target == contentOffset());
      if (auto d = delegate()) d->scrollViewDidEndDragging(*this, decelerate);
      setContentOffset(target);
      if (auto d = delegate(); d && decelerate) d->scrollViewDidEndDecelerating(*this);
      break;
    }
    case S::cancelled:
      dragging_ = false;
      setContentOffset(clamped(contentOffset()));
      break;
    default:
      break;
  }
}

void UIScrollView::decodeInterface(InterfaceCoder& coder) {
  UIView::decodeInterface(coder);
  if (auto size = coder.decodePoint("contentSize")) setContentSize({size->x, size->y});
  if (auto paging = coder.decodeBool("pagingEnabled")) setPagingEnabled(*paging);
  if (auto value = coder.decodeBool("bounces")) setBounces(*value);
  if (auto value = coder.decodeBool("scrollEnabled")) setScrollEnabled(*value);
  if (auto value = coder.decodeBool("showsVerticalScrollIndicator"))
    setShowsVerticalScrollIndicator(*value);
  if (auto value = coder.decodeBool("showsHorizontalScrollIndicator"))
    setShowsHorizontalScrollIndicator(*value);
}

}  // namespace UIKit
