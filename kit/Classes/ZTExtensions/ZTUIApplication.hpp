#pragma once

#include <functional>
#include <memory>
#include <string>

#include <UIKit/UIViewController.hpp>

namespace UIKit {
class UIWindow;
}

namespace ZentrelSDK {

// The kit's extension of UIApplication: where on the key window's hierarchy a screen is to
// be presented from. The forms without a controller start at the key window's root.
class ZTUIApplication {
 public:
  // The topmost controller: through a navigation controller's visible controller, a tab bar
  // controller's selected one and every presented one, in that order of tests. None when
  // there is no key window, no root, or a navigation controller shows nothing.
  static std::shared_ptr<UIKit::UIViewController> topViewController();
  static std::shared_ptr<UIKit::UIViewController> topViewController(
      const std::shared_ptr<UIKit::UIViewController>& controller);

  // The same walk, stopping below the first controller on the way whose description is
  // `name`.
  static std::shared_ptr<UIKit::UIViewController> getViewController(const std::string& name);
  static std::shared_ptr<UIKit::UIViewController> getViewController(
      const std::shared_ptr<UIKit::UIViewController>& controller, const std::string& name);

  // A presented controller is up for good, or only covered by what was presented over it:
  // neither it nor a presenter under it is being dismissed, its presentation is in a window,
  // and the root it was presented from is still that window's root, not moved into another.
  // Which window is key, and whether it is hidden, does not matter: both may come back.
  static bool isShown(const UIKit::UIViewController& controller);
  // Shown, in a window that is not hidden: what a request can join.
  static bool isSeen(const UIKit::UIViewController& controller);

  // Presents as `from.present` does, and remembers that the kit presented the controller.
  static void present(UIKit::UIViewController& from,
                      std::shared_ptr<UIKit::UIViewController> controller, bool animated,
                      std::function<void()> completion = nullptr);
  // Whether the kit presented the controller: the kit dismisses nothing else.
  static bool presentedByKit(const UIKit::UIViewController& controller);

  // True when the controller's description is exactly `comareName`.
  static bool compareControllers(const UIKit::UIViewController& controller,
                                 const std::string& comareName);

 private:
  static std::shared_ptr<UIKit::UIViewController> keyWindowRoot();
  // The window the controller is shown in, as `isShown` tells, or none.
  static std::shared_ptr<UIKit::UIWindow> shownIn(const UIKit::UIViewController& controller);
  // The window holding the controller's presentation, or none.
  static std::shared_ptr<UIKit::UIWindow> presentationWindow(
      const UIKit::UIViewController& controller);
};

}  // namespace ZentrelSDK
