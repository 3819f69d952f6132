#include "UIKit/NSAttributedString.hpp"

#include <string>

#include "UIKit/UIKitLog.hpp"
#include "UIKit/UTF16.hpp"

namespace UIKit {

NSAttributedString::NSAttributedString(std::string_view string, Attributes attributes)
    : units_(utf16(string)) {
  if (!units_.empty()) runs_.push_back({units_.size(), std::move(attributes)});
}

std::string NSAttributedString::string() const {
  return utf8(units_);
}

bool NSAttributedString::checkRange(NSRange range, std::string_view operation) const {
  if (range.location <= units_.size() && range.length <= units_.size() - range.location)
    return true;
  uikitLog(std::string("NSAttributedString ") + std::string(operation) + ": range {" +
           std::to_string(range.location) + ", " + std::to_string(range.length) +
           "} out of bounds; length " + std::to_string(units_.size()));
  return false;
}

NSAttributedString::Attributes NSAttributedString::attributes(std::size_t location,
                                                              NSRange* effectiveRange) const {
  if (location >= units_.size()) {
    checkRange({location, 1}, "attributes(at:)");
    if (effectiveRange) *effectiveRange = {location, 0};
    return {};
  }
  std::size_t start = 0;
  for (const auto& run : runs_) {
    if (location < start + run.length) {
      if (effectiveRange) *effectiveRange = {start, run.length};
      return run.attributes;
    }
    start += run.length;
  }
  return {};
}

std::optional<NSAttributedString::Value> NSAttributedString::attribute(
    const std::string& key, std::size_t location, NSRange* effectiveRange) const {
  const auto all = attributes(location, effectiveRange);
  const auto it = all.find(key);
  if (it == all.end()) return std::nullopt;
  return it->second;
}

bool NSAttributedString::operator==(const NSAttributedString& other) const {
  return units_ == other.units_ && runs_ == other.runs_;
}

std::size_t NSAttributedString::splitAt(std::size_t location) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < runs_.size(); ++i) {
    if (location == start) return i;
    if (location < start + runs_[i].length) {
      Run tail{start + runs_[i].length - location, runs_[i].attributes};
      runs_[i].length = location - start;
      runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
      return i + 1;
    }
    start += runs_[i].length;
  }
  return runs_.size();
}

void NSAttributedString::coalesce() {
  std::vector<Run> merged;
  for (auto& run : runs_) {
    if (run.length == 0) continue;
    if (!merged.empty() && merged.back().attributes == run.attributes) {
      merged.back().length += run.length;
    } else {
      merged.push_back(std::move(run));
    }
  }
  runs_ = std::move(merged);
}

}  // namespace UIKit
