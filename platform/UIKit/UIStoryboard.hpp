#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace Foundation {
class Bundle;
}  // namespace Foundation

namespace UIKit {

class UIViewController;

// A storyboard: "<name>.storyboard" in a bundle, our own format (JSON):
//   {"initialViewController": "Login",
//    "scenes": [{"identifier": "Login", "class": "ZTLoginViewController",
//                "nibName": "ZTLoginViewController"}]}
// Each scene's controller is made by class name (registered like view classes) with its
// interface file as nib name, which loads when its view is first asked for. A missing file,
// scene or class is reported and gives null (the platform raises).
class UIStoryboard {
 public:
  using Factory = std::function<std::shared_ptr<UIViewController>(
      std::optional<std::string> nibName, std::shared_ptr<Foundation::Bundle> bundle)>;

  // A null bundle means the main one.
  UIStoryboard(std::string name, std::shared_ptr<Foundation::Bundle> bundle);

  std::shared_ptr<UIViewController> instantiateViewController(const std::string& identifier) const;
  std::shared_ptr<UIViewController> instantiateInitialViewController() const;

  // Controller classes by name; "UIViewController" is known. Any thread.
  static void registerClass(const std::string& name, Factory factory);
  template <class C>
  static bool registerViewControllerClass(const std::string& name) {
    registerClass(name, [](std::optional<std::string> nib, std::shared_ptr<Foundation::Bundle> b) {
      return std::make_shared<C>(std::move(nib), std::move(b));
    });
    return true;
  }

 private:
  std::string name_;
  std::shared_ptr<Foundation::Bundle> bundle_;
};

}  // namespace UIKit
