#pragma once

#include <memory>
#include <string>

namespace ZentrelSDK {

class ZTVerificationTimerBlock;

// What a verification view model asks of the screen that owns it. Main thread only.
class NeedVerification {
 public:
  virtual ~NeedVerification() = default;

  // The entered code, and whether it is a complete, valid code.
  virtual void didChangedVerificationCode(const std::string& code, bool finished) = 0;
  // Show the wait block in place of the code entry, and take it away again. Only the password
  // reset road shows it; every other screen keeps these empty defaults.
  virtual void addVerificationTimerView(const std::shared_ptr<ZTVerificationTimerBlock>& /*with*/) {
  }
  virtual void removeVerificationTimerView() {}
};

}  // namespace ZentrelSDK
