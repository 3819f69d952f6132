#include "ZTSecurityManager.hpp"

#include "ZTOAuth/ZTOAuthCore.hpp"
#include "ZTOAuth/ZTOAuthScreens.hpp"

namespace ZentrelSDK {

void ZTSecurityManager::initialOAuth(const std::string& appId) {
  ZTOAuthCore::setup(ZTOAuthCore::Config(appId));
}

void ZTSecurityManager::beginVerificationFlow(
    std::function<void(bool, const std::optional<std::string>&)> completion) {
  auto presenter = ZTOAuthScreens::verificationCodePresenter();
  if (!presenter) {
    if (completion) completion(false, std::nullopt);
    return;
  }
  presenter->sendVerificationCodeAndShowModal(
      [completion = std::move(completion)](Foundation::Result<std::string, Error> result) {
        if (!completion) return;
        if (result.isSuccess()) return completion(true, result.value());
        // The user's own cancel needs no message.
        if (result.error().is<ZTValidationError>()) return completion(false, std::nullopt);
        completion(false, result.error().localizedDescription());
      });
}

}  // namespace ZentrelSDK
