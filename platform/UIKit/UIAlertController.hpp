#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"
#include "UIKit/UIAlertAction.hpp"
#include "UIKit/UIViewController.hpp"

namespace UIKit {

class UIButton;
class UILabel;

// A message box presented over a dimmed backdrop. Its view is a box the size of the screen
// until it is presented, when it is centred in its container at its content size (an action
// sheet: at the bottom, nearly as wide as the screen); inside, a visual-effect view (the
// blurred box) holds the title and message labels and a button per action, in the order
// added, with the cancel action last. A tap on an action's button closes the alert, and the
// action's handler runs once it has closed.
class UIAlertController : public UIViewController {
 public:
  enum class Style { actionSheet = 0, alert = 1 };
  static constexpr CGFloat width = 270;
  static constexpr CGFloat actionHeight = 44;
  static constexpr CGFloat sheetMargin = 8;

  UIAlertController(std::optional<std::string> title, std::optional<std::string> message,
                    Style preferredStyle);

  const std::optional<std::string>& title() const { return title_; }
  void setTitle(std::optional<std::string> title);
  const std::optional<std::string>& message() const { return message_; }
  void setMessage(std::optional<std::string> message);
  Style preferredStyle() const { return style_; }

  // Adding an action while shown adds its button too.
  void addAction(std::shared_ptr<UIAlertAction> action);
  const std::vector<std::shared_ptr<UIAlertAction>>& actions() const { return actions_; }
  const std::shared_ptr<UIAlertAction>& preferredAction() const { return preferredAction_; }
  void setPreferredAction(std::shared_ptr<UIAlertAction> action);
  // The button that shows an action; null before the view is loaded.
  std::shared_ptr<UIButton> buttonForAction(const UIAlertAction& action) const;

  // The size of the box when presented.
  CGSize preferredContentSize() const;

  void loadView() override;

 protected:
  std::shared_ptr<UIPresentationController> makePresentationController(
      const std::shared_ptr<UIViewController>& presenting) override;

 private:
  void layoutActions();
  void chose(const std::shared_ptr<UIAlertAction>& action);
  CGFloat textHeight() const;

  std::optional<std::string> title_;
  std::optional<std::string> message_;
  Style style_;
  std::weak_ptr<UILabel> titleLabel_;
  std::weak_ptr<UILabel> messageLabel_;
  std::weak_ptr<UIView> box_;
  std::vector<std::shared_ptr<UIAlertAction>> actions_;
  std::shared_ptr<UIAlertAction> preferredAction_;
  std::vector<std::pair<std::weak_ptr<UIAlertAction>, std::weak_ptr<UIButton>>> buttons_;
};

}  // namespace UIKit
