#include "UIKit/UIView.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "UIKit/UIGestureRecognizer.hpp"
#include "UIKit/UIViewController.hpp"
#include "UIKit/UIWindow.hpp"

namespace UIKit {

namespace {
CGPoint boundsCenter(CGRect b) {
  return {b.origin.x + b.size.width / 2, b.origin.y + b.size.height / 2};
}

CGRect boundingBox(const std::array<CGPoint, 4>& corners) {
  CGFloat minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
  for (const auto& p : corners) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  return CGRect::make(minX, minY, maxX - minX, maxY - minY);
}

// Spreads `delta` over the flexible parts in proportion to their sizes (evenly when they
// are all zero), as autoresizing does.
void spread(CGFloat delta, std::array<CGFloat, 3>& parts, const std::array<bool, 3>& flexible) {
  CGFloat sum = 0;
  int count = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    if (!flexible[i]) continue;
    sum += parts[i];
    ++count;
  }
  if (count == 0) return;
  for (std::size_t i = 0; i < 3; ++i) {
    if (!flexible[i]) continue;
    parts[i] += sum != 0 ? delta * parts[i] / sum : delta / count;
  }
}
}  // namespace

UIView::UIView(CGRect frame) : layer_(std::make_shared<QuartzCore::CALayer>()) {
  setFrame(frame);
  needsLayout_ = true;
}

UIView::~UIView() {
  for (auto& sub : subviews_) sub->superview_ = nullptr;
  for (auto& recognizer : gestureRecognizers_) recognizer->view_ = nullptr;
}

std::shared_ptr<UIView> UIView::superview() const {
  if (!superview_) return nullptr;
  return std::static_pointer_cast<UIView>(superview_->weak_from_this().lock());
}

std::shared_ptr<UIWindow> UIView::window() const {
  for (const UIView* v = this; v; v = v->superview_) {
    if (auto* w = dynamic_cast<const UIWindow*>(v))
      return std::static_pointer_cast<UIWindow>(const_cast<UIWindow*>(w)->weak_from_this().lock());
  }
  return nullptr;
}

bool UIView::isDescendant(const UIView& ancestor) const {
  for (const UIView* v = this; v; v = v->superview_) {
    if (v == &ancestor) return true;
  }
  return false;
}

void UIView::addSubview(const std::shared_ptr<UIView>& view) {
  insertSubview(view, subviews_.size());
}

void UIView::insertSubview(const std::shared_ptr<UIView>& view, std::size_t index) {
  if (!view || isDescendant(*view)) return;  // a view cannot hold itself or an ancestor
  auto keep = view;
  if (keep->superview_ == this) {
    auto it = std::find(subviews_.begin(), subviews_.end(), keep);
    subviews_.erase(it);
    index = std::min(index, subviews_.size());
    subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(index), keep);
    return;
  }
  const bool hadWindow = keep->window() != nullptr;
  keep->removeFromSuperview();
  index = std::min(index, subviews_.size());
  subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(index), keep);
  keep->superview_ = this;
  didAddSubview(*keep);
  keep->didMoveToSuperview();
  if (hadWindow || window()) keep->notifyMovedToWindow();
}

void UIView::removeFromSuperview() {
  if (!superview_) return;
  auto keep = sharedAs<UIView>();  // the list held it, so a shared_ptr does
  const bool hadWindow = window() != nullptr;
  detachFirstResponder();
  UIView* parent = superview_;
  parent->willRemoveSubview(*this);
  auto& list = parent->subviews_;
  list.erase(std::remove(list.begin(), list.end(), keep), list.end());
  superview_ = nullptr;
  didMoveToSuperview();
  if (hadWindow) notifyMovedToWindow();
}

void UIView::detachFirstResponder() {
  auto first = std::dynamic_pointer_cast<UIView>(currentFirstResponder());
  if (first && first->isDescendant(*this)) first->resignFirstResponder();
}

void UIView::notifyMovedToWindow() {
  if (needsDisplay_) scheduleDisplay();
  didMoveToWindow();
  if (auto controller = viewController_.lock())
    controller->viewDidMoveToWindow(window() != nullptr);
  for (auto& sub : std::vector(subviews_)) sub->notifyMovedToWindow();
}

void UIView::bringSubviewToFront(const std::shared_ptr<UIView>& view) {
  if (view && view->superview_ == this) insertSubview(view, subviews_.size());
}

void UIView::sendSubviewToBack(const std::shared_ptr<UIView>& view) {
  if (view && view->superview_ == this) insertSubview(view, 0);
}

std::shared_ptr<UIView> UIView::viewWithTag(int tag) {
  if (tag_ == tag) return sharedAs<UIView>();
  for (auto& sub : subviews_) {
    if (auto found = sub->viewWithTag(tag)) return found;
  }
  return nullptr;
}

CGRect UIView::frame() const {
  const CGRect local = CGRect::make(-bounds_.size.width / 2, -bounds_.size.height / 2,
                                    bounds_.size.width, bounds_.size.height);
  return applying(local, transform_).offsetBy(center_.x, center_.y);
}

void UIView::setFrame(CGRect frame) {
  const CGRect r = frame.standardized();
  CGSize size = r.size;
  if (!transform_.isIdentity()) {
    // The bounds that give this frame through the transform.
    CGAffineTransform linear = transform_;
    linear.tx = linear.ty = 0;
    const CGSize raw = applying(size, linear.inverted());
    size = {std::abs(raw.width), std::abs(raw.height)};
  }
  center_ = {r.midX(), r.midY()};
  CGRect b = bounds_;
  b.size = size;
  setBounds(b);
  syncLayer();
}

void UIView::setBounds(CGRect bounds) {
  const CGSize old = bounds_.size;
  bounds_ = bounds;
  syncLayer();
  if (!(old == bounds.size)) resizeSubviews(old);
}

void UIView::setCenter(CGPoint center) {
  center_ = center;
  syncLayer();
}

void UIView::setTransform(CGAffineTransform transform) {
  noteAnimatedChange();  // before the layer takes the new value
  transform_ = transform;
  layer_->transform = QuartzCore::CATransform3DMakeAffineTransform(transform);
  syncLayer();
}

void UIView::syncLayer() {
  noteAnimatedChange();
  layer_->setBounds(bounds_);
  layer_->setPosition(center_);
}

void UIView::resizeSubviews(CGSize oldSize) {
  needsLayout_ = true;
  if (!autoresizesSubviews_) return;
  for (auto& sub : std::vector(subviews_)) sub->autoresize(oldSize, bounds_.size);
}

void UIView::autoresize(CGSize oldSuper, CGSize newSuper) {
  using M = AutoresizingMask;
  if (autoresizingMask_ == M::none) return;
  // On the untransformed geometry, so a scaled view keeps following its superview.
  const CGFloat w = bounds_.size.width, h = bounds_.size.height;
  std::array<CGFloat, 3> horizontal{center_.x - w / 2, w, oldSuper.width - (center_.x + w / 2)};
  std::array<CGFloat, 3> vertical{center_.y - h / 2, h, oldSuper.height - (center_.y + h / 2)};
  spread(newSuper.width - oldSuper.width, horizontal,
         {contains(autoresizingMask_, M::flexibleLeftMargin),
          contains(autoresizingMask_, M::flexibleWidth),
          contains(autoresizingMask_, M::flexibleRightMargin)});
  spread(newSuper.height - oldSuper.height, vertical,
         {contains(autoresizingMask_, M::flexibleTopMargin),
          contains(autoresizingMask_, M::flexibleHeight),
          contains(autoresizingMask_, M::flexibleBottomMargin)});
  center_ = {horizontal[0] + horizontal[1] / 2, vertical[0] + vertical[1] / 2};
  CGRect b = bounds_;
  b.size = {std::max<CGFloat>(0, horizontal[1]), std::max<CGFloat>(0, vertical[1])};
  setBounds(b);
  syncLayer();
}

CGPoint UIView::convertTo(CGPoint point, const UIView* view) const {
  // Up to the top of this hierarchy (the window, when there is one)...
  for (const UIView* v = this; v->superview_; v = v->superview_) {
    const CGPoint c = boundsCenter(v->bounds_);
    const CGPoint moved = applying(CGPoint{point.x - c.x, point.y - c.y}, v->transform_);
    point = {v->center_.x + moved.x, v->center_.y + moved.y};
  }
  if (!view) return point;
  return view->convertFrom(point, nullptr);
}

CGPoint UIView::convertFrom(CGPoint point, const UIView* view) const {
  if (view) point = view->convertTo(point, nullptr);
  // ...and down from it to this view.
  std::vector<const UIView*> chain;
  for (const UIView* v = this; v->superview_; v = v->superview_) chain.push_back(v);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const UIView* v = *it;
    const CGPoint c = boundsCenter(v->bounds_);
    const CGPoint local =
        applying(CGPoint{point.x - v->center_.x, point.y - v->center_.y}, v->transform_.inverted());
    point = {local.x + c.x, local.y + c.y};
  }
  return point;
}

CGRect UIView::convertTo(CGRect rect, const UIView* view) const {
  const CGRect r = rect.standardized();
  return boundingBox({convertTo(r.origin, view), convertTo(CGPoint{r.maxX(), r.minY()}, view),
                      convertTo(CGPoint{r.minX(), r.maxY()}, view),
                      convertTo(CGPoint{r.maxX(), r.maxY()}, view)});
}

CGRect UIView::convertFrom(CGRect rect, const UIView* view) const {
  const CGRect r = rect.standardized();
  return boundingBox({convertFrom(r.origin, view), convertFrom(CGPoint{r.maxX(), r.minY()}, view),
                      convertFrom(CGPoint{r.minX(), r.maxY()}, view),
                      convertFrom(CGPoint{r.maxX(), r.maxY()}, view)});
}

void UIView::setAlpha(CGFloat alpha) {
  noteAnimatedChange();
  alpha_ = std::clamp<CGFloat>(alpha, 0, 1);
  layer_->opacity = static_cast<float>(alpha_);
}

void UIView::setHidden(bool hidden) {
  hidden_ = hidden;
  layer_->isHidden = hidden;
}

void UIView::setBackgroundColor(std::optional<UIColor> color) {
  backgroundColor_ = color;
  if (color) {
    layer_->backgroundColor = color->cgColor();
  } else {
    layer_->backgroundColor.reset();
  }
}

bool UIView::isEffectivelyHidden() const {
  for (const UIView* v = this; v; v = v->superview_) {
    if (v->hidden_ || v->alpha_ < 0.01) return true;
  }
  return false;
}

std::shared_ptr<UIView> UIView::hitTest(CGPoint point) {
  if (hidden_ || alpha_ < 0.01 || !userInteractionEnabled_ || !pointInside(point)) return nullptr;
  for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
    auto sub = *it;
    if (auto hit = sub->hitTest(sub->convertFrom(point, this))) return hit;
  }
  return sharedAs<UIView>();
}

bool UIView::pointInside(CGPoint point) const {
  return bounds_.contains(point);
}

void UIView::addGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& recognizer) {
  if (!recognizer) return;
  if (recognizer->view_ && recognizer->view_ != this) {
    recognizer->view_->removeGestureRecognizer(recognizer);
  }
  if (recognizer->view_ == this) return;
  gestureRecognizers_.push_back(recognizer);
  recognizer->view_ = this;
}

void UIView::removeGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& recognizer) {
  auto it = std::find(gestureRecognizers_.begin(), gestureRecognizers_.end(), recognizer);
  if (it == gestureRecognizers_.end()) return;
  (*it)->view_ = nullptr;
  gestureRecognizers_.erase(it);
}

bool UIView::endEditing(bool /*force*/) {
  auto first = std::dynamic_pointer_cast<UIView>(currentFirstResponder());
  if (!first || !first->isDescendant(*this)) return false;
  return first->resignFirstResponder();
}

void UIView::layoutIfNeeded() {
  if (needsLayout_) {
    needsLayout_ = false;
    layoutSubviews();
  }
  for (auto& sub : std::vector(subviews_)) sub->layoutIfNeeded();
}

std::shared_ptr<UIResponder> UIView::nextResponder() const {
  if (auto controller = viewController_.lock()) return controller;
  return superview();
}

}  // namespace UIKit
