#pragma once

namespace QuartzCore {

class CAAnimation;

// Told when an animation attached to a layer starts and stops. Animations hold their delegate
// weakly here, so a view that animates its own layer does not keep itself alive.
class CAAnimationDelegate {
 public:
  virtual ~CAAnimationDelegate() = default;
  virtual void animationDidStart(CAAnimation& /*animation*/) {}
  // `finished` is false when the animation was removed before its end.
  virtual void animationDidStop(CAAnimation& /*animation*/, bool /*finished*/) {}
};

}  // namespace QuartzCore
