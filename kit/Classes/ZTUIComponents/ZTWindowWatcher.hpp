#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <Foundation/NotificationCenter.hpp>

#include <UIKit/UIView.hpp>
#include <UIKit/UIViewController.hpp>

namespace ZentrelSDK {

// Hears a presented screen go for good, however it went: dismissed (alone or under a screen
// presented over it), taken out of the window with its window's root, with its window, or left
// in a window that is hidden or no longer the key one. A host that replaces its root or its
// window tells the screen nothing, so a hidden subview listens for its view leaving the window
// and for windows being hidden or made key. Main thread only.
class ZTWindowWatcher : public UIKit::UIView {
 public:
  // Calls `gone` once, on the main thread, when the controller's view has left its window (or
  // a window was hidden or made key) and, once any present or dismiss under way has ended, the
  // controller is no longer shown; then takes it off its presenter if `gone` left it there.
  // Loads the controller's view.
  static void watch(const std::shared_ptr<UIKit::UIViewController>& controller,
                    std::function<void()> gone);

  ZTWindowWatcher(std::weak_ptr<UIKit::UIViewController> controller, std::function<void()> gone);
  ~ZTWindowWatcher() override;

 protected:
  void didMoveToWindow() override;

 private:
  static void check(const std::weak_ptr<UIKit::UIViewController>& controller,
                    const std::shared_ptr<std::function<void()>>& gone);

  std::weak_ptr<UIKit::UIViewController> controller_;
  std::shared_ptr<std::function<void()>> gone_;
  // Until the screen is first in a window, no window change concerns it.
  bool wasInWindow_ = false;
  std::vector<std::shared_ptr<Foundation::NotificationObserver>> observers_;
};

}  // namespace ZentrelSDK
