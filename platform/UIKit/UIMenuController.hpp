#pragma once

#include <memory>
#include <string>
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"

namespace UIKit {

class UIView;

// The edit menu (cut, copy, paste...). It offers the standard actions the first responder
// says it can perform, asked when it is shown; choosing one performs it on the first
// responder and hides the menu. Main thread only.
class UIMenuController {
 public:
  // The standard edit actions, as selectors, in the order the menu lists them.
  static const std::vector<std::string>& standardActions();

  static UIMenuController& shared();

  // `rect` in `view`'s coordinates; kept in window coordinates. A null view is ignored.
  void showMenu(const std::shared_ptr<UIView>& view, CGRect rect);
  void hideMenu();
  bool isMenuVisible() const { return visible_; }
  // Where the menu points, in window coordinates.
  CGRect targetRect() const { return targetRect_; }
  // What it offers while visible.
  const std::vector<std::string>& offeredActions() const { return offered_; }
  // Performs an offered action on the first responder; false when not offered.
  bool choose(const std::string& action);

 private:
  UIMenuController() = default;
  bool visible_ = false;
  CGRect targetRect_;
  std::vector<std::string> offered_;
};

}  // namespace UIKit
