#pragma once

#include <memory>
#include <optional>
#include <string>

#include "CoreGraphics/CGGeometry.hpp"
#include "UIKit/UIViewController.hpp"

namespace UIKit {

class UILabel;

// A message box presented over a dimmed backdrop. Its view is a box the size of the screen
// until it is presented, when it is centred in its container at its content size; inside, a
// visual-effect view (the blurred box) holds the title and message labels.
class UIAlertController : public UIViewController {
 public:
  enum class Style { actionSheet = 0, alert = 1 };
  static constexpr CGFloat width = 270;

  UIAlertController(std::optional<std::string> title, std::optional<std::string> message,
                    Style preferredStyle);

  const std::optional<std::string>& title() const { return title_; }
  void setTitle(std::optional<std::string> title);
  const std::optional<std::string>& message() const { return message_; }
  void setMessage(std::optional<std::string> message);
  Style preferredStyle() const { return style_; }

  // The size of the box when presented.
  CGSize preferredContentSize() const;

  void loadView() override;

 protected:
  std::shared_ptr<UIPresentationController> makePresentationController(
      const std::shared_ptr<UIViewController>& presenting) override;

 private:
  std::optional<std::string> title_;
  std::optional<std::string> message_;
  Style style_;
  std::weak_ptr<UILabel> titleLabel_;
  std::weak_ptr<UILabel> messageLabel_;
};

}  // namespace UIKit
