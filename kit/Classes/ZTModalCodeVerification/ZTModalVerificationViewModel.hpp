#pragma once

#include <memory>
#include <string>

#include "ZTModalCodeVerification/ZTModalVerificationModel.hpp"

namespace ZentrelSDK {

// The code card's view model: closes the card for a code or a cancel and then hands the
// flow's completion the result, exactly once. Main thread only.
class ZTModalVerificationViewModel
    : public ZTModalVerificationModel,
      public std::enable_shared_from_this<ZTModalVerificationViewModel> {
 public:
  explicit ZTModalVerificationViewModel(Completion finalCompletion);
  // Never answered (the card went with its window, say): the completion hears a cancel, on the
  // main queue.
  ~ZTModalVerificationViewModel() override;

  std::shared_ptr<ZTModalView> delegate() const override { return delegate_.lock(); }
  const Completion& finalCompletion() const override { return finalCompletion_; }
  void setDelegate(std::weak_ptr<ZTModalView> with) override { delegate_ = std::move(with); }
  // A complete, valid six-digit code.
  bool verifyCode(const std::string& code) const override;
  // Nothing without a card, or once the card is closing.
  void submit(const std::string& code) override;
  void cancel() override;

 private:
  void close(Foundation::Result<std::string, Error> result);

  std::weak_ptr<ZTModalView> delegate_;
  Completion finalCompletion_;
  bool closing_ = false;
};

}  // namespace ZentrelSDK
