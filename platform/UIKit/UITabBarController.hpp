#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "UIKit/UIViewController.hpp"

namespace UIKit {

// Shows one of its controllers at a time, the selected one.
class UITabBarController : public UIViewController {
 public:
  UITabBarController() = default;

  const std::vector<std::shared_ptr<UIViewController>>& viewControllers() const {
    return children();
  }
  // Selects the first controller when the selection is not among the new ones.
  void setViewControllers(std::vector<std::shared_ptr<UIViewController>> controllers,
                          bool animated);
  // None while there are no controllers.
  std::shared_ptr<UIViewController> selectedViewController() const;
  void setSelectedViewController(const std::shared_ptr<UIViewController>& controller);
  std::optional<std::size_t> selectedIndex() const;
  void setSelectedIndex(std::size_t index);

  void loadView() override;
  // It brings its children on and off screen itself.
  bool shouldAutomaticallyForwardAppearanceMethods() const override { return false; }

 protected:
  std::vector<std::shared_ptr<UIViewController>> childrenForAppearance() const override;

 private:
  void selectChild(const std::shared_ptr<UIViewController>& controller);

  std::weak_ptr<UIViewController> selected_;
};

}  // namespace UIKit
