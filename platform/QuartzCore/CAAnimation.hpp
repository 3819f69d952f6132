#pragma once

#include <any>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Foundation/Clock.hpp"
#include "QuartzCore/CAAnimationDelegate.hpp"
#include "QuartzCore/CAMediaTimingFunction.hpp"

namespace QuartzCore {

enum class CAMediaTimingFillMode { removed, forwards, backwards, both };

// Timing shared by every animation. A layer stores a copy of what it is given, as the
// platform does, so changing an animation after adding it changes nothing on screen.
class CAAnimation {
 public:
  virtual ~CAAnimation() = default;

  // Seconds; 0 means the platform default of 0.25.
  Foundation::TimeInterval duration = 0;
  // When it starts, in CACurrentMediaTime() seconds; 0 means when it is added.
  Foundation::TimeInterval beginTime = 0;
  std::optional<CAMediaTimingFunction> timingFunction;
  CAMediaTimingFillMode fillMode = CAMediaTimingFillMode::removed;
  bool isRemovedOnCompletion = true;
  std::weak_ptr<CAAnimationDelegate> delegate;

  Foundation::TimeInterval effectiveDuration() const { return duration > 0 ? duration : 0.25; }

  // Key-value markers (Swift `setValue(_:forKey:)` and `value(forKey:)`): travel with the
  // copy a layer keeps, so a delegate can tell its animations apart. An empty value removes.
  void setValue(std::any value, const std::string& key) {
    if (value.has_value()) {
      values_[key] = std::move(value);
    } else {
      values_.erase(key);
    }
  }
  // Null when the key holds nothing or a value of another type.
  template <class T>
  const T* value(std::string_view key) const {
    auto it = values_.find(key);
    return it == values_.end() ? nullptr : std::any_cast<T>(&it->second);
  }
  const std::any* value(std::string_view key) const {
    auto it = values_.find(key);
    return it == values_.end() ? nullptr : &it->second;
  }
  virtual std::shared_ptr<CAAnimation> copy() const { return std::make_shared<CAAnimation>(*this); }

 private:
  std::map<std::string, std::any, std::less<>> values_;
};

}  // namespace QuartzCore
