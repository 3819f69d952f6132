#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <Foundation/NotificationCenter.hpp>

#include <UIKit/UIView.hpp>
#include <UIKit/UIViewController.hpp>

namespace ZentrelSDK {

// Hears a presented screen of the kit go for good, however it went: dismissed (alone or under a
// screen presented over it), out of every window, or cut off from the root it was presented
// from (the host gave the window another root, or moved its root into another window). A host
// that does so tells the screen nothing, so a hidden subview listens for its view leaving the
// window and checks again when a window becomes key or visible. Neither of those ends the
// screen by itself: an alert window, a second scene or a privacy cover goes again. Main thread
// only.
class ZTWindowWatcher : public UIKit::UIView {
 public:
  // Calls `gone` once, on the main thread, when the controller has gone for good and any
  // present or dismiss under way has ended; then takes it off its presenter, with what the kit
  // presented over it. A screen the host presented over it stays, and the ended one under it
  // until the host's has gone. Loads the controller's view.
  static void watch(const std::shared_ptr<UIKit::UIViewController>& controller,
                    std::function<void()> gone);
  // For a request that would join the controller's screen: false once it has gone, or when it
  // stands in a hidden window, where the user may never see it again; such a screen ends now
  // as if it had gone. A screen on its way to its first window counts as seen.
  static bool stillSeen(const std::shared_ptr<UIKit::UIViewController>& controller);

  // `listens`: also checks on window changes (the kit's screens; not a host's screen over one).
  ZTWindowWatcher(std::weak_ptr<UIKit::UIViewController> controller, std::function<void()> gone,
                  bool listens);
  ~ZTWindowWatcher() override;

 protected:
  void didMoveToWindow() override;

 private:
  static std::shared_ptr<ZTWindowWatcher> of(const UIKit::UIViewController& controller,
                                             bool listens);
  static void takeOff(const std::weak_ptr<UIKit::UIViewController>& screen);
  void check();
  void end();

  std::weak_ptr<UIKit::UIViewController> controller_;
  std::function<void()> gone_;
  const bool listens_;
  // Until the screen is first in a window, no window change concerns it.
  bool wasInWindow_ = false;
  std::vector<std::shared_ptr<Foundation::NotificationObserver>> observers_;
};

}  // namespace ZentrelSDK
