#pragma once

#include <functional>

#include "UIKit/NSAttributedString.hpp"

namespace UIKit {

// Where the platform raises on a range past the end, these log and change nothing, returning
// false.
class NSMutableAttributedString : public NSAttributedString {
 public:
  using NSAttributedString::NSAttributedString;
  NSMutableAttributedString(const NSAttributedString& other)  // NOLINT: as Swift's mutableCopy
      : NSAttributedString(other) {}

  bool addAttribute(const std::string& key, const Value& value, NSRange range);
  bool addAttributes(const Attributes& attributes, NSRange range);
  bool setAttributes(const Attributes& attributes, NSRange range);
  bool removeAttribute(const std::string& key, NSRange range);
  void append(const NSAttributedString& other);

 private:
  bool edit(NSRange range, std::string_view operation,
            const std::function<void(Attributes&)>& change);
};

}  // namespace UIKit
