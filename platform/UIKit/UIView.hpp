#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"
#include "Foundation/Clock.hpp"
#include "QuartzCore/CALayer.hpp"
#include "UIKit/OptionSet.hpp"
#include "UIKit/UIColor.hpp"
#include "UIKit/UIResponder.hpp"

namespace UIKit {

class InterfaceCoder;
class NSLayoutConstraint;
class NSLayoutXAxisAnchor;
class NSLayoutYAxisAnchor;
class UIGestureRecognizer;
class UITouch;
class UIViewController;
class UIWindow;

// A rectangle in the hierarchy. Its frame is its bounds' size placed around `center` through
// `transform`. Subviews are owned by their superview; the way up does not own.
class UIView : public UIResponder {
 public:
  enum class AutoresizingMask : unsigned {
    none = 0,
    flexibleLeftMargin = 1 << 0,
    flexibleWidth = 1 << 1,
    flexibleRightMargin = 1 << 2,
    flexibleTopMargin = 1 << 3,
    flexibleHeight = 1 << 4,
    flexibleBottomMargin = 1 << 5,
  };
  friend constexpr bool enableOptionSet(AutoresizingMask) { return true; }

  // UIView.AnimationOptions, raw values as on the platform. Only the curve is kept in mind
  // here: it shapes what the layer shows while an animation runs.
  enum class AnimationOptions : unsigned long {
    none = 0,
    layoutSubviews = 1 << 0,
    allowUserInteraction = 1 << 1,
    beginFromCurrentState = 1 << 2,
    repeat = 1 << 3,
    autoreverse = 1 << 4,
    curveEaseInOut = 0 << 16,
    curveEaseIn = 1 << 16,
    curveEaseOut = 2 << 16,
    curveLinear = 3 << 16,
    transitionFlipFromLeft = 1 << 20,
  };
  friend constexpr bool enableOptionSet(AnimationOptions) { return true; }

  // How content is fitted to the bounds; kept, not rendered.
  enum class ContentMode {
    scaleToFill = 0,
    scaleAspectFit = 1,
    scaleAspectFill = 2,
    redraw = 3,
    center = 4,
    top = 5,
    bottom = 6,
    left = 7,
    right = 8,
    topLeft = 9,
    topRight = 10,
    bottomLeft = 11,
    bottomRight = 12,
  };

  // Swift `UIView.noIntrinsicMetric`.
  static constexpr CGFloat noIntrinsicMetric = -1;

  explicit UIView(CGRect frame = {});
  ~UIView() override;

  // Hierarchy.
  std::shared_ptr<UIView> superview() const;
  const std::vector<std::shared_ptr<UIView>>& subviews() const { return subviews_; }
  // Frontmost; a view that has another superview leaves it first.
  void addSubview(const std::shared_ptr<UIView>& view);
  void insertSubview(const std::shared_ptr<UIView>& view, std::size_t index);
  void removeFromSuperview();
  void bringSubviewToFront(const std::shared_ptr<UIView>& view);
  void sendSubviewToBack(const std::shared_ptr<UIView>& view);
  bool isDescendant(const UIView& ancestor) const;
  std::shared_ptr<UIView> viewWithTag(int tag);
  // The window the view is in, if any.
  virtual std::shared_ptr<UIWindow> window() const;

  // Geometry.
  CGRect frame() const;
  void setFrame(CGRect frame);
  CGRect bounds() const { return bounds_; }
  void setBounds(CGRect bounds);
  CGPoint center() const { return center_; }
  void setCenter(CGPoint center);
  CGAffineTransform transform() const { return transform_; }
  // Also the layer's transform, as on the platform.
  void setTransform(CGAffineTransform transform);
  AutoresizingMask autoresizingMask() const { return autoresizingMask_; }
  void setAutoresizingMask(AutoresizingMask mask) { autoresizingMask_ = mask; }
  bool autoresizesSubviews() const { return autoresizesSubviews_; }
  void setAutoresizesSubviews(bool value) { autoresizesSubviews_ = value; }
  // Swift `convert(_:to:)` and `convert(_:from:)`; null means window coordinates.
  CGPoint convertTo(CGPoint point, const UIView* view) const;
  CGPoint convertFrom(CGPoint point, const UIView* view) const;
  CGRect convertTo(CGRect rect, const UIView* view) const;
  CGRect convertFrom(CGRect rect, const UIView* view) const;

  // Look.
  CGFloat alpha() const { return alpha_; }
  void setAlpha(CGFloat alpha);
  bool isHidden() const { return hidden_; }
  virtual void setHidden(bool hidden);
  std::optional<UIColor> backgroundColor() const { return backgroundColor_; }
  virtual void setBackgroundColor(std::optional<UIColor> color);
  bool clipsToBounds() const { return layer_->masksToBounds; }
  void setClipsToBounds(bool clips) { layer_->masksToBounds = clips; }
  const std::shared_ptr<QuartzCore::CALayer>& layer() const { return layer_; }
  // A hint for drawing only: nothing is composited here.
  bool isOpaque() const { return opaque_; }
  void setOpaque(bool opaque) { opaque_ = opaque; }
  ContentMode contentMode() const { return contentMode_; }
  void setContentMode(ContentMode mode) { contentMode_ = mode; }
  int tag() const { return tag_; }
  void setTag(int tag) { tag_ = tag; }
  // Hidden, or nearly transparent, here or above: what a user cannot see.
  bool isEffectivelyHidden() const;

  // Interaction.
  bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
  void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }
  // The deepest visible, interactive view under `point` (in this view's coordinates): hidden
  // views, views with alpha below 0.01 and views that take no interaction are skipped, and
  // a point outside a view's bounds reaches none of its subviews.
  virtual std::shared_ptr<UIView> hitTest(CGPoint point);
  virtual bool pointInside(CGPoint point) const;
  const std::vector<std::shared_ptr<UIGestureRecognizer>>& gestureRecognizers() const {
    return gestureRecognizers_;
  }
  void addGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& recognizer);
  void removeGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& recognizer);
  // Touch delivery from the window; the view's own coordinates are `touch.location(this)`.
  virtual void touchesBegan(const UITouch& /*touch*/) {}
  virtual void touchesMoved(const UITouch& /*touch*/) {}
  virtual void touchesEnded(const UITouch& /*touch*/) {}
  virtual void touchesCancelled(const UITouch& /*touch*/) {}
  // True for a view whose own tap handling comes before the tap recognizers of the views
  // around it (a button).
  virtual bool keepsTapsFromAncestorRecognizers() const { return false; }
  // Resigns the first responder when it is this view or inside it.
  bool endEditing(bool force);

  // Accessibility, which the test driver finds views by.
  std::optional<std::string> accessibilityIdentifier() const { return accessibilityIdentifier_; }
  void setAccessibilityIdentifier(std::optional<std::string> id) {
    accessibilityIdentifier_ = std::move(id);
  }
  // Set explicitly, or the text the view shows (labels, fields).
  virtual std::optional<std::string> accessibilityLabel() const { return accessibilityLabel_; }
  void setAccessibilityLabel(std::optional<std::string> label) {
    accessibilityLabel_ = std::move(label);
  }

  // Layout.
  void setNeedsLayout() { needsLayout_ = true; }
  void layoutIfNeeded();
  virtual void layoutSubviews() {}
  // The natural size of the content; noIntrinsicMetric on both axes for a plain view.
  virtual CGSize intrinsicContentSize() const { return {noIntrinsicMetric, noIntrinsicMetric}; }
  // Constraints are recorded, not solved: layout stays with frames and autoresizing.
  const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints() const {
    return constraints_;
  }
  void addConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint);
  void removeConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint);
  NSLayoutXAxisAnchor centerXAnchor();
  NSLayoutYAxisAnchor centerYAnchor();

  // Swift `snapshotView(afterScreenUpdates:)`: a plain view of the same size standing for
  // what this one shows; null when the simulated device gives no snapshot.
  std::shared_ptr<UIView> snapshotView(bool afterScreenUpdates) const;

  // Drawing. A view is drawn on a turn of the main run loop after it reaches a window and
  // after each setNeedsDisplay while it is in one; `draw` gets the bounds.
  virtual void draw(CGRect /*rect*/) {}
  void setNeedsDisplay();
  bool needsDisplay() const { return needsDisplay_; }
  // Draws now when marked (the platform's display pass calls it).
  void displayIfNeeded();

  // Animations apply their end state at once; the completion comes on the main queue when
  // the duration has passed on the process clock (at once when animations are disabled).
  // While it runs, the layers of the views whose frame, bounds, centre, transform or alpha
  // changed carry animations from the old values to the new ones; removing those (e.g.
  // `layer()->removeAllAnimations()`) cuts it short and the completion gets false.
  static void animate(Foundation::TimeInterval duration, const std::function<void()>& animations,
                      std::function<void(bool)> completion = nullptr);
  // The delay adds to the duration: the layers move over both, the completion comes after
  // both.
  static void animate(Foundation::TimeInterval duration, Foundation::TimeInterval delay,
                      AnimationOptions options, const std::function<void()>& animations,
                      std::function<void(bool)> completion = nullptr);
  // Swift `transition(with:duration:options:animations:completion:)`: the view's content
  // changes at once and the completion comes as for `animate`.
  static void transition(const std::shared_ptr<UIView>& view, Foundation::TimeInterval duration,
                         AnimationOptions options, const std::function<void()>& animations,
                         std::function<void(bool)> completion = nullptr);
  static void setAnimationsEnabled(bool enabled);
  static bool areAnimationsEnabled();
  // The duration an animation of `duration` really takes now.
  static Foundation::TimeInterval effectiveDuration(Foundation::TimeInterval duration);

  // Interface files: a view made from a file reads its properties here (Swift init(coder:));
  // subclasses read their own keys and call the base.
  virtual void decodeInterface(InterfaceCoder& coder);
  // After the whole file is built and connected.
  virtual void awakeFromNib() {}

  std::shared_ptr<UIResponder> nextResponder() const override;

 protected:
  // Hierarchy hooks.
  virtual void didAddSubview(UIView& /*subview*/) {}
  virtual void willRemoveSubview(UIView& /*subview*/) {}
  virtual void didMoveToSuperview() {}
  virtual void didMoveToWindow() {}

 private:
  friend class UIViewController;

  void resizeSubviews(CGSize oldSize);
  void autoresize(CGSize oldSuperSize, CGSize newSuperSize);
  void syncLayer();
  void noteAnimatedChange();
  void scheduleDisplay();
  void notifyMovedToWindow();
  void detachFirstResponder();

  UIView* superview_ = nullptr;  // cleared by the superview when it lets go
  std::vector<std::shared_ptr<UIView>> subviews_;
  CGRect bounds_;
  CGPoint center_;
  CGAffineTransform transform_;
  AutoresizingMask autoresizingMask_ = AutoresizingMask::none;
  bool autoresizesSubviews_ = true;
  CGFloat alpha_ = 1;
  bool hidden_ = false;
  std::optional<UIColor> backgroundColor_;
  bool userInteractionEnabled_ = true;
  int tag_ = 0;
  ContentMode contentMode_ = ContentMode::scaleToFill;
  bool opaque_ = true;
  bool needsLayout_ = true;
  bool needsDisplay_ = true;
  std::vector<std::shared_ptr<NSLayoutConstraint>> constraints_;
  std::optional<std::string> accessibilityIdentifier_;
  std::optional<std::string> accessibilityLabel_;
  std::shared_ptr<QuartzCore::CALayer> layer_;
  std::vector<std::shared_ptr<UIGestureRecognizer>> gestureRecognizers_;
  std::weak_ptr<UIViewController> viewController_;  // set while it is a controller's view
};

}  // namespace UIKit
