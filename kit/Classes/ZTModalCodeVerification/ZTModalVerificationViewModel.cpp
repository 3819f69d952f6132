#include "ZTModalCodeVerification/ZTModalVerificationViewModel.hpp"

#include <Dispatch/DispatchQueue.hpp>

#include "ZTModalCodeVerification/ZTValidationError.hpp"
#include "ZTUtilites/ZTValidators.hpp"

namespace ZentrelSDK {

ZTModalVerificationViewModel::ZTModalVerificationViewModel(Completion finalCompletion)
    : finalCompletion_(std::move(finalCompletion)) {}

ZTModalVerificationViewModel::~ZTModalVerificationViewModel() {
  if (closing_ || !finalCompletion_) return;
  Dispatch::DispatchQueue::main().async([completion = std::move(finalCompletion_)] {
    completion(Foundation::failure(Error(ZTValidationError::cancelled())));
  });
}

bool ZTModalVerificationViewModel::verifyCode(const std::string& code) const {
  return ZTValidators::validateCode(code);
}

void ZTModalVerificationViewModel::submit(const std::string& code) {
  close(Foundation::success(code));
}

void ZTModalVerificationViewModel::cancel() {
  close(Foundation::failure(Error(ZTValidationError::cancelled())));
}

void ZTModalVerificationViewModel::close(Foundation::Result<std::string, Error> result) {
  auto card = delegate();
  // A second tap while the card closes must not answer again.
  if (!card || closing_) return;
  closing_ = true;
  // The callback keeps the model until it has answered: the card, which owns the model, is
  // let go by the presentation chain when the dismissal completes.
  card->closeModal([self = shared_from_this(), result = std::move(result)] {
    if (self->finalCompletion_) self->finalCompletion_(result);
  });
}

}  // namespace ZentrelSDK
