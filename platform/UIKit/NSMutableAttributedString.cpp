#include "UIKit/NSMutableAttributedString.hpp"

namespace UIKit {

bool NSMutableAttributedString::edit(NSRange range, std::string_view operation,
                                     const std::function<void(Attributes&)>& change) {
  if (!checkRange(range, operation)) return false;
  if (range.length == 0) return true;
  const std::size_t first = splitAt(range.location);
  const std::size_t last = splitAt(range.upperBound());
  for (std::size_t i = first; i < last; ++i) change(runs_[i].attributes);
  coalesce();
  return true;
}

bool NSMutableAttributedString::addAttribute(const std::string& key, const Value& value,
                                             NSRange range) {
  return edit(range, "addAttribute", [&](Attributes& a) { a[key] = value; });
}

bool NSMutableAttributedString::addAttributes(const Attributes& attributes, NSRange range) {
  return edit(range, "addAttributes", [&](Attributes& a) {
    for (const auto& [key, value] : attributes) a[key] = value;
  });
}

bool NSMutableAttributedString::setAttributes(const Attributes& attributes, NSRange range) {
  return edit(range, "setAttributes", [&](Attributes& a) { a = attributes; });
}

bool NSMutableAttributedString::removeAttribute(const std::string& key, NSRange range) {
  return edit(range, "removeAttribute", [&](Attributes& a) { a.erase(key); });
}

void NSMutableAttributedString::append(const NSAttributedString& other) {
  units_ += other.units_;
  runs_.insert(runs_.end(), other.runs_.begin(), other.runs_.end());
  coalesce();
}

}  // namespace UIKit
