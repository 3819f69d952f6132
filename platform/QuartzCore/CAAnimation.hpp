#pragma once

#include <memory>
#include <optional>

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
  std::optional<CAMediaTimingFunction> timingFunction;
  CAMediaTimingFillMode fillMode = CAMediaTimingFillMode::removed;
  bool isRemovedOnCompletion = true;
  std::weak_ptr<CAAnimationDelegate> delegate;

  Foundation::TimeInterval effectiveDuration() const { return duration > 0 ? duration : 0.25; }
  virtual std::shared_ptr<CAAnimation> copy() const { return std::make_shared<CAAnimation>(*this); }
};

}  // namespace QuartzCore
