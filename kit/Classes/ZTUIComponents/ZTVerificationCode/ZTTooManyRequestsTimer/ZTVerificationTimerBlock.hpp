#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "ZTUIComponents/ZTVerificationCode/ZTTooManyRequestsTimer/ZTVerificationTimerView.hpp"

namespace ZentrelSDK {

// A wait countdown of whole seconds. Main thread only.
class ZTVerificationTimerBlock {
 public:
  virtual ~ZTVerificationTimerBlock() = default;

  // The view showing the remaining time; null until set or once it has gone.
  virtual std::shared_ptr<ZTVerificationTimerView> delegate() const = 0;
  // Remaining whole seconds.
  virtual std::int64_t timeLimit() const = 0;
  // Runs once, when the countdown ends.
  virtual const std::function<void()>& onCloseAction() const = 0;
  virtual void setOnCloseAction(std::function<void()> action) = 0;
  // Held weakly.
  virtual void setupDelegate(std::weak_ptr<ZTVerificationTimerView> with) = 0;
  // Starts the countdown.
  virtual void fireTimer() = 0;
};

}  // namespace ZentrelSDK
