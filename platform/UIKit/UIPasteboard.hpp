#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace UIKit {

// The general pasteboard, in memory: texts only. Tests set it as the user's copy would. Any
// thread.
class UIPasteboard {
 public:
  static UIPasteboard& general();

  // The first text.
  std::optional<std::string> string() const;
  // Null empties it.
  void setString(std::optional<std::string> text);
  std::vector<std::string> strings() const;
  void setStrings(std::vector<std::string> texts);
  bool hasStrings() const;

 private:
  UIPasteboard() = default;
  mutable std::mutex mutex_;
  std::vector<std::string> strings_;
};

}  // namespace UIKit
