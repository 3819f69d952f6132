#pragma once

#include <memory>
#include <string>

#include <UIKit/UIViewController.hpp>

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

  // A presented controller is on screen, or only covered by what was presented over it: the
  // front of its presentation chain stands in the key window, which is not hidden, and neither
  // it nor a presenter under it is being dismissed.
  static bool isShown(const UIKit::UIViewController& controller);

  // True when the controller's description is exactly `comareName`.
  static bool compareControllers(const UIKit::UIViewController& controller,
                                 const std::string& comareName);

 private:
  static std::shared_ptr<UIKit::UIViewController> keyWindowRoot();
};

}  // namespace ZentrelSDK
