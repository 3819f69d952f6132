#pragma once

#include <functional>
#include <optional>

#include "Foundation/Clock.hpp"
#include "QuartzCore/CAMediaTimingFunction.hpp"

namespace QuartzCore {

// Swift `CACurrentMediaTime()`: seconds on the process clock, the time base of `beginTime`.
Foundation::TimeInterval CACurrentMediaTime();

// Groups the animations added to layers between begin() and commit(): those without a
// duration or timing of their own take the transaction's, and the completion block runs on
// the main queue once the last of them has ended on the clock (on a later run-loop turn when
// there are none). Transactions nest. Main thread only, like layers.
class CATransaction {
 public:
  static constexpr Foundation::TimeInterval defaultDuration = 0.25;

  static void begin();
  static void commit();
  static void setAnimationDuration(Foundation::TimeInterval duration);
  static void setAnimationTimingFunction(std::optional<CAMediaTimingFunction> function);
  static void setCompletionBlock(std::function<void()> block);

  // For layers: the duration and timing an added animation takes, and its end, so the
  // transaction waits for it. Outside a transaction, the defaults.
  static Foundation::TimeInterval animationDuration();
  static std::optional<CAMediaTimingFunction> animationTimingFunction();
  static void noteAnimationEnd(RunLoopCore::Nanoseconds end);
};

}  // namespace QuartzCore
