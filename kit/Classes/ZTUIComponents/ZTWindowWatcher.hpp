#pragma once

#include <functional>
#include <memory>

#include <UIKit/UIView.hpp>
#include <UIKit/UIViewController.hpp>

namespace ZentrelSDK {

// Hears a presented screen go for good, however it went: dismissed (alone or under a screen
// presented over it), taken out of the window with its window's root, or with its window. A host
// that replaces its root tells the screen nothing, so a hidden subview listens for its view
// leaving the window. Main thread only.
class ZTWindowWatcher : public UIKit::UIView {
 public:
  // Calls `gone` once, on the main thread, when the controller's view has left its window and,
  // once any present or dismiss under way has ended, the controller is no longer shown. Loads
  // the controller's view.
  static void watch(const std::shared_ptr<UIKit::UIViewController>& controller,
                    std::function<void()> gone);

  ZTWindowWatcher(std::weak_ptr<UIKit::UIViewController> controller, std::function<void()> gone);

 protected:
  void didMoveToWindow() override;

 private:
  static void check(const std::weak_ptr<UIKit::UIViewController>& controller,
                    const std::shared_ptr<std::function<void()>>& gone);

  std::weak_ptr<UIKit::UIViewController> controller_;
  std::shared_ptr<std::function<void()>> gone_;
};

}  // namespace ZentrelSDK
