#pragma once

#include <memory>
#include <vector>

#include "UIKit/UIDevice.hpp"

namespace UIKit {

class UIWindow;

// The application object: knows the windows and which one is key. It does not own them: the
// host (or the test driver) keeps its window alive.
class UIApplication {
 public:
  static UIApplication& shared();

  std::shared_ptr<UIWindow> keyWindow() const;
  // Swift `statusBarOrientation`. Kept atomic, so any thread may read it without a hop to
  // the main thread.
  UIInterfaceOrientation statusBarOrientation() const {
    return SimulatedDevice::statusBarOrientation.load();
  }
  // Live windows, oldest first.
  std::vector<std::shared_ptr<UIWindow>> windows() const;

 private:
  friend class UIWindow;
  UIApplication() = default;
  void addWindow(const std::shared_ptr<UIWindow>& window);
  void makeKey(const std::shared_ptr<UIWindow>& window);
  void removeWindow(const UIWindow* window);

  std::vector<std::weak_ptr<UIWindow>> windows_;
  std::weak_ptr<UIWindow> keyWindow_;
};

}  // namespace UIKit
