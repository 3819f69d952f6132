#include "UIKit/UIPasteboard.hpp"

namespace UIKit {

UIPasteboard& UIPasteboard::general() {
  static auto* board = new UIPasteboard;  // used from static teardown of other objects
  return *board;
}

std::optional<std::string> UIPasteboard::string() const {
  std::lock_guard lock(mutex_);
  if (strings_.empty()) return std::nullopt;
  return strings_.front();
}

void UIPasteboard::setString(std::optional<std::string> text) {
  std::lock_guard lock(mutex_);
  strings_.clear();
  if (text) strings_.push_back(std::move(*text));
}

std::vector<std::string> UIPasteboard::strings() const {
  std::lock_guard lock(mutex_);
  return strings_;
}

void UIPasteboard::setStrings(std::vector<std::string> texts) {
  std::lock_guard lock(mutex_);
  strings_ = std::move(texts);
}

bool UIPasteboard::hasStrings() const {
  std::lock_guard lock(mutex_);
  return !strings_.empty();
}

}  // namespace UIKit
