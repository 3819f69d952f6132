#pragma once

namespace ZentrelSDK {

// What shows a wait countdown.
class ZTVerificationTimerView {
 public:
  virtual ~ZTVerificationTimerView() = default;
  // Show the countdown's current remaining time.
  virtual void updateTimerLabel() = 0;
};

}  // namespace ZentrelSDK
