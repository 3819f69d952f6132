#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace UIKit {

// A button of an alert or action sheet. Its handler runs once the alert has closed, so the
// alert is no longer presented when it does.
class UIAlertAction {
 public:
  enum class Style { defaultStyle = 0, cancel = 1, destructive = 2 };
  using Handler = std::function<void(UIAlertAction&)>;

  UIAlertAction(std::optional<std::string> title, Style style, Handler handler = nullptr)
      : title_(std::move(title)), style_(style), handler_(std::move(handler)) {}

  const std::optional<std::string>& title() const { return title_; }
  Style style() const { return style_; }
  bool isEnabled() const { return enabled_; }
  void setEnabled(bool enabled) { enabled_ = enabled; }
  const Handler& handler() const { return handler_; }

 private:
  std::optional<std::string> title_;
  Style style_;
  Handler handler_;
  bool enabled_ = true;
};

}  // namespace UIKit
