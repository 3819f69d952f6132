#pragma once

#include <memory>

#include "UIKit/UIView.hpp"

namespace UIKit {

class UIPanGestureRecognizer;
class UIRefreshControl;
class UIScrollView;

// Swift `UIEdgeInsets`.
struct UIEdgeInsets {
  CGFloat top = 0;
  CGFloat left = 0;
  CGFloat bottom = 0;
  CGFloat right = 0;
  bool operator==(const UIEdgeInsets&) const = default;
};

// What a scroll view tells as it is dragged. Called on the main thread.
class UIScrollViewDelegate {
 public:
  virtual ~UIScrollViewDelegate() = default;
  virtual void scrollViewDidScroll(UIScrollView& /*scrollView*/) {}
  virtual void scrollViewWillBeginDragging(UIScrollView& /*scrollView*/) {}
  // `velocity` in points per millisecond, as the finger left; `targetContentOffset` is where
  // the view will come to rest, and the delegate may change it.
  virtual void scrollViewWillEndDragging(UIScrollView& /*scrollView*/, CGPoint /*velocity*/,
                                         CGPoint& /*targetContentOffset*/) {}
  virtual void scrollViewDidEndDragging(UIScrollView& /*scrollView*/, bool /*decelerate*/) {}
  virtual void scrollViewDidEndDecelerating(UIScrollView& /*scrollView*/) {}
};

// A view whose bounds' origin is the content offset: dragging it (its pan recognizer, fed by
// the window) moves the offset against the finger. When the drag ends the view comes to
// rest at once at the target the delegate agreed to: the nearest page when paging, else
// where it was, kept inside the content. The delegate is held weakly. As on the platform, a
// drag mostly along an axis the view cannot scroll is not its own: it goes to an enclosing
// scroll view (a vertical form inside a horizontal pager).
class UIScrollView : public UIView {
 public:
  enum class ContentInsetAdjustmentBehavior { automatic, scrollableAxes, never, always };
  // How far beyond the top a drag must pull to start a refresh.
  static constexpr CGFloat refreshPullDistance = 60;

  explicit UIScrollView(CGRect frame = {});
  ~UIScrollView() override;

  CGSize contentSize() const { return contentSize_; }
  void setContentSize(CGSize size);
  UIEdgeInsets contentInset() const { return contentInset_; }
  void setContentInset(UIEdgeInsets inset);
  // Headless: no safe area, so the adjusted inset is the content inset.
  UIEdgeInsets adjustedContentInset() const { return contentInset_; }
  CGPoint contentOffset() const { return bounds().origin; }
  // Non-finite offsets are ignored. Tells the delegate it scrolled.
  void setContentOffset(CGPoint offset, bool animated = false);

  bool isPagingEnabled() const { return pagingEnabled_; }
  void setPagingEnabled(bool enabled) { pagingEnabled_ = enabled; }
  bool isScrollEnabled() const { return scrollEnabled_; }
  void setScrollEnabled(bool enabled);
  bool bounces() const { return bounces_; }
  void setBounces(bool bounces) { bounces_ = bounces; }
  bool alwaysBounceVertical() const { return alwaysBounceVertical_; }
  void setAlwaysBounceVertical(bool value) { alwaysBounceVertical_ = value; }
  bool alwaysBounceHorizontal() const { return alwaysBounceHorizontal_; }
  void setAlwaysBounceHorizontal(bool value) { alwaysBounceHorizontal_ = value; }
  bool showsVerticalScrollIndicator() const { return showsVertical_; }
  void setShowsVerticalScrollIndicator(bool value) { showsVertical_ = value; }
  bool showsHorizontalScrollIndicator() const { return showsHorizontal_; }
  void setShowsHorizontalScrollIndicator(bool value) { showsHorizontal_ = value; }
  ContentInsetAdjustmentBehavior contentInsetAdjustmentBehavior() const { return adjustment_; }
  void setContentInsetAdjustmentBehavior(ContentInsetAdjustmentBehavior behavior) {
    adjustment_ = behavior;
  }
  bool isDragging() const { return dragging_; }

  std::shared_ptr<UIScrollViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<UIScrollViewDelegate> delegate) {
    delegate_ = std::move(delegate);
  }
  const std::shared_ptr<UIPanGestureRecognizer>& panGestureRecognizer() const { return pan_; }
  // Held strongly and shown above the content; pulling the content down far enough makes it
  // refresh (it sends valueChanged). A refresh control added as a subview becomes it too, as
  // on the platform.
  const std::shared_ptr<UIRefreshControl>& refreshControl() const { return refreshControl_; }
  void setRefreshControl(std::shared_ptr<UIRefreshControl> control);

  // The offsets the content can rest at.
  CGPoint minimumContentOffset() const;
  CGPoint maximumContentOffset() const;

  // "contentSize", "pagingEnabled", "bounces", "scrollEnabled", "showsVerticalScrollIndicator",
  // "showsHorizontalScrollIndicator".
  void decodeInterface(InterfaceCoder& coder) override;

 protected:
  void didAddSubview(UIView& subview) override;
  void willRemoveSubview(UIView& subview) override;

 private:
  void panned(UIPanGestureRecognizer& pan);
  void adopt(const std::shared_ptr<UIRefreshControl>& control);
  CGPoint clamped(CGPoint offset) const;
  CGPoint restingTarget(CGPoint velocity) const;
  bool scrollsHorizontally() const;
  bool scrollsVertically() const;

  CGSize contentSize_;
  UIEdgeInsets contentInset_;
  bool pagingEnabled_ = false;
  bool scrollEnabled_ = true;
  bool bounces_ = true;
  bool alwaysBounceVertical_ = false;
  bool alwaysBounceHorizontal_ = false;
  bool showsVertical_ = true;
  bool showsHorizontal_ = true;
  ContentInsetAdjustmentBehavior adjustment_ = ContentInsetAdjustmentBehavior::automatic;
  bool dragging_ = false;
  CGPoint dragStart_;
  std::weak_ptr<UIScrollViewDelegate> delegate_;
  std::shared_ptr<UIPanGestureRecognizer> pan_;
  std::shared_ptr<void> alive_;  // the pan's target: gone with the view
  class PanGate;
  std::shared_ptr<PanGate> panGate_;  // the pan's delegate: gone with the view
  std::shared_ptr<UIRefreshControl> refreshControl_;
};

}  // namespace UIKit
