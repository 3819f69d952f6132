#include "Foundation/NSRegularExpression.hpp"

#include <list>
#include <memory>
#include <mutex>
#include <regex>
#include <string>
#include <utility>

namespace Foundation {

namespace {

// Validation runs on every keystroke with the same few patterns; compiling is the costly part.
class PatternCache {
 public:
  std::shared_ptr<const std::regex> get(std::string_view pattern) {
    std::lock_guard lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->first == pattern) {
        entries_.splice(entries_.begin(), entries_, it);
        return it->second;
      }
    }
    std::shared_ptr<const std::regex> compiled;
    try {
      compiled = std::make_shared<const std::regex>(std::string(pattern), std::regex::ECMAScript);
    } catch (const std::regex_error&) {
      compiled = nullptr;  // remembered too, so a bad pattern is not recompiled each time
    }
    entries_.emplace_front(std::string(pattern), compiled);
    if (entries_.size() > kCapacity) entries_.pop_back();
    return compiled;
  }

 private:
  static constexpr std::size_t kCapacity = 32;
  std::mutex mutex_;
  std::list<std::pair<std::string, std::shared_ptr<const std::regex>>> entries_;
};

}  // namespace

bool matchesWholePattern(std::string_view text, std::string_view pattern) {
  static auto* cache = new PatternCache;
  const auto regex = cache->get(pattern);
  if (!regex) return false;
  try {
    return std::regex_match(text.begin(), text.end(), *regex);
  } catch (const std::regex_error&) {
    return false;  // e.g. error_complexity on a pathological input
  }
}

}  // namespace Foundation
