#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "UIKit/UITouch.hpp"
#include "UIKit/UIView.hpp"

namespace UIKit {

class UIGestureRecognizer;
class UIViewController;

// The top of a view hierarchy. Holds its root view controller, whose view fills it; presented
// controllers' views are placed above it. Hidden until made key and visible.
class UIWindow : public UIView {
 public:
  // Posted on the main thread with the window as the object: when it is hidden or shown, and
  // when it becomes or stops being the key window.
  static inline const std::string didBecomeVisibleNotification =
      "UIWindowDidBecomeVisibleNotification";
  static inline const std::string didBecomeHiddenNotification =
      "UIWindowDidBecomeHiddenNotification";
  static inline const std::string didBecomeKeyNotification = "UIWindowDidBecomeKeyNotification";
  static inline const std::string didResignKeyNotification = "UIWindowDidResignKeyNotification";

  UIWindow();  // the screen's bounds
  explicit UIWindow(CGRect frame);
  ~UIWindow() override;

  const std::shared_ptr<UIViewController>& rootViewController() const { return root_; }
  // Replaces what the window shows with the controller's view.
  void setRootViewController(std::shared_ptr<UIViewController> controller);
  void makeKeyAndVisible();
  bool isKeyWindow() const;
  void setHidden(bool hidden) override;

  std::shared_ptr<UIWindow> window() const override;

  // One finger tapping at `point` (window coordinates), delivered as the touch system does:
  // the hit-test view gets the touch; the nearest enabled gesture recognizer on it or above
  // it may recognize first and, if it cancels touches in its view, the view's touch is
  // cancelled instead of ended. Returns the view that was hit, or null.
  std::shared_ptr<UIView> sendTap(CGPoint point);

  // A touch sequence of one or more fingers (window coordinates), phase by phase. The view
  // hit by the first finger gets that finger's touch; the enabled recognizers on it and above
  // it watch every finger, and the first to begin or recognize takes the sequence: the others
  // are cancelled, and so is the view's touch when it cancels touches in view. A button keeps
  // its taps from the tap recognizers above it. A new sequence ends one still going. Returns
  // the view hit, or null (and then the other phases do nothing).
  std::shared_ptr<UIView> beginTouches(const std::vector<CGPoint>& points);
  // With as many points as fingers; other counts are ignored.
  void moveTouches(const std::vector<CGPoint>& points);
  void endTouches();
  void cancelTouches();

 private:
  struct TouchSequence {
    std::shared_ptr<UIView> view;
    std::vector<std::shared_ptr<UIGestureRecognizer>> recognizers;
    std::vector<CGPoint> points;
    std::shared_ptr<UIGestureRecognizer> taker;
    bool viewCancelled = false;
  };
  std::vector<UITouch> touchesAt(const std::vector<CGPoint>& points) const;
  void settleTaker();
  void finishTouches(bool cancelled);

  std::shared_ptr<UIViewController> root_;
  std::optional<TouchSequence> touches_;
};

}  // namespace UIKit
