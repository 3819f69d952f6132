#include "UIKit/UIMenuController.hpp"

#include <algorithm>

#include "UIKit/UIResponder.hpp"
#include "UIKit/UIView.hpp"

namespace UIKit {

const std::vector<std::string>& UIMenuController::standardActions() {
  static const std::vector<std::string> actions{
      "cut:", "copy:", "paste:", "select:", "selectAll:", "delete:"};
  return actions;
}

UIMenuController& UIMenuController::shared() {
  static UIMenuController menu;
  return menu;
}

void UIMenuController::showMenu(const std::shared_ptr<UIView>& view, CGRect rect) {
  if (!view) return;
  offered_.clear();
  if (auto first = UIResponder::currentFirstResponder()) {
    for (const auto& action : standardActions()) {
      if (first->canPerformAction(action)) offered_.push_back(action);
    }
  }
  targetRect_ = view->convertTo(rect, nullptr);
  visible_ = !offered_.empty();  // an empty menu is not shown
}

void UIMenuController::hideMenu() {
  visible_ = false;
  offered_.clear();
}

bool UIMenuController::choose(const std::string& action) {
  if (!visible_ || std::find(offered_.begin(), offered_.end(), action) == offered_.end())
    return false;
  hideMenu();
  auto first = UIResponder::currentFirstResponder();
  return first && first->perform(action);
}

}  // namespace UIKit
