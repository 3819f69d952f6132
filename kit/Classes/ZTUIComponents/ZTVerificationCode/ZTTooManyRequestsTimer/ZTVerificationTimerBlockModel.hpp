#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <Foundation/Timer.hpp>

#include "ZTUIComponents/ZTVerificationCode/ZTTooManyRequestsTimer/ZTVerificationTimerBlock.hpp"

namespace ZentrelSDK {

// A countdown on a repeating one-second timer of the main run loop: each tick lowers the
// remaining time and tells the view, until a tick finds one second or less left; that tick
// stops the timer and runs the close action. Hold it by std::shared_ptr. Main thread only.
class ZTVerificationTimerBlockModel
    : public ZTVerificationTimerBlock,
      public std::enable_shared_from_this<ZTVerificationTimerBlockModel> {
 public:
  // Nothing starts yet.
  explicit ZTVerificationTimerBlockModel(std::int64_t timeLimit);
  // A countdown nobody holds any more stops.
  ~ZTVerificationTimerBlockModel() override;

  std::shared_ptr<ZTVerificationTimerView> delegate() const override { return delegate_.lock(); }
  std::int64_t timeLimit() const override { return timeLimit_; }
  const std::function<void()>& onCloseAction() const override { return onCloseAction_; }
  void setOnCloseAction(std::function<void()> action) override {
    onCloseAction_ = std::move(action);
  }
  void setupDelegate(std::weak_ptr<ZTVerificationTimerView> with) override {
    delegate_ = std::move(with);
  }
  // The first tick comes one second later. While a countdown runs, another start does
  // nothing, so no timer is left running that nothing can stop.
  void fireTimer() override;

 private:
  void decreaseTime();

  std::weak_ptr<ZTVerificationTimerView> delegate_;
  std::int64_t timeLimit_;
  std::function<void()> onCloseAction_;
  std::shared_ptr<Foundation::Timer> timer_;
};

}  // namespace ZentrelSDK
