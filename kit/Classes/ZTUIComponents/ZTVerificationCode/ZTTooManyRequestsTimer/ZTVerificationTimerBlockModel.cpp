#include "ZTUIComponents/ZTVerificationCode/ZTTooManyRequestsTimer/ZTVerificationTimerBlockModel.hpp"

namespace ZentrelSDK {

ZTVerificationTimerBlockModel::ZTVerificationTimerBlockModel(std::int64_t timeLimit)
    : timeLimit_(timeLimit) {}

ZTVerificationTimerBlockModel::~ZTVerificationTimerBlockModel() {
  if (timer_) timer_->invalidate();
}

void ZTVerificationTimerBlockModel::fireTimer() {
  if (timer_ && timer_->isValid()) return;
  timer_ =
      Foundation::Timer::scheduledTimer(1.0, true, [weak = weak_from_this()](Foundation::Timer&) {
        if (auto self = weak.lock()) self->decreaseTime();
      });
}

void ZTVerificationTimerBlockModel::decreaseTime() {
  if (timeLimit_ <= 1) {
    if (timer_) timer_->invalidate();
    // A copy: the action may release this block (it removes the screen that owns it).
    if (auto close = onCloseAction_) close();
    return;
  }
  --timeLimit_;
  if (auto view = delegate()) view->updateTimerLabel();
}

}  // namespace ZentrelSDK
