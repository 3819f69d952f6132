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
  virtual void touchesEnded(const UITouch& /*touch*/) {}
  virtual void touchesCancelled(const UITouch& /*touch*/) {}
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

  // Animations apply their end state at once; the completion comes on the main queue when
  // the duration has passed on the process clock (at once when animations are disabled).
  static void animate(Foundation::TimeInterval duration, const std::function<void()>& animations,
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
  bool needsLayout_ = true;
  std::optional<std::string> accessibilityIdentifier_;
  std::optional<std::string> accessibilityLabel_;
  std::shared_ptr<QuartzCore::CALayer> layer_;
  std::vector<std::shared_ptr<UIGestureRecognizer>> gestureRecognizers_;
  std::weak_ptr<UIViewController> viewController_;  // set while it is a controller's view
};

}  // namespace UIKit
