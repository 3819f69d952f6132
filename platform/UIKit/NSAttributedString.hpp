#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "UIKit/NSRange.hpp"
#include "UIKit/UIColor.hpp"
#include "UIKit/UIFont.hpp"

namespace UIKit {

// Text with attributes over ranges of UTF-16 units, as the platform counts them.
// A value: copies are independent.
class NSAttributedString {
 public:
  // NSAttributedString.Key names.
  struct Key {
    static inline const std::string font = "NSFont";
    static inline const std::string foregroundColor = "NSColor";
    static inline const std::string backgroundColor = "NSBackgroundColor";
    static inline const std::string kern = "NSKern";
    static inline const std::string underlineStyle = "NSUnderline";
  };
  using Value = std::variant<double, UIColor, UIFont, std::string>;
  using Attributes = std::map<std::string, Value>;

  NSAttributedString() = default;
  explicit NSAttributedString(std::string_view string, Attributes attributes = {});
  virtual ~NSAttributedString() = default;

  std::string string() const;
  // In UTF-16 units.
  std::size_t length() const { return units_.size(); }

  // The attributes at `location` and, in `effectiveRange`, the longest range around it that
  // has the same ones. Out of range: none, and a log line.
  Attributes attributes(std::size_t location, NSRange* effectiveRange = nullptr) const;
  std::optional<Value> attribute(const std::string& key, std::size_t location,
                                 NSRange* effectiveRange = nullptr) const;

  bool operator==(const NSAttributedString&) const;

 protected:
  friend class NSMutableAttributedString;
  struct Run {
    std::size_t length = 0;
    Attributes attributes;
    bool operator==(const Run&) const = default;
  };

  // False, with a log line naming `operation`, when `range` reaches past the end.
  bool checkRange(NSRange range, std::string_view operation) const;
  // Makes `location` a run boundary; returns the index of the run starting there.
  std::size_t splitAt(std::size_t location);
  void coalesce();

  std::u16string units_;
  std::vector<Run> runs_;
};

}  // namespace UIKit
