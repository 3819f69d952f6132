#include "ZTSecurityManager.hpp"

#include "ZTModalCodeVerification/ZTValidationError.hpp"
#include "ZTModalCodeVerification/ZTVerificationCodeRequestPresenter.hpp"
#include "ZTOAuth/ZTOAuthCore.hpp"

namespace ZentrelSDK {

void ZTSecurityManager::initialOAuth(const std::string& appId) {
  ZTOAuthCore::setup(ZTOAuthCore::Config(appId));
}

void ZTSecurityManager::beginVerificationFlow(
    std::function<void(bool, const std::optional<std::string>&)> completion) {
  ZTVerificationCodeRequestPresenter::shared()->sendVerificationCodeAndShowModal(
      [completion = std::move(completion)](Foundation::Result<std::string, Error> result) {
        if (!completion) return;
        if (result.isSuccess()) return completion(true, result.value());
        // The user's own cancel needs no message.
        if (result.error().is<ZTValidationError>()) return completion(false, std::nullopt);
        completion(false, result.error().localizedDescription());
      });
}

}  // namespace ZentrelSDK
