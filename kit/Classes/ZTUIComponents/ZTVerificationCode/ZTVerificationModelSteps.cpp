#include "ZTUIComponents/ZTVerificationCode/ZTVerificationModelSteps.hpp"

#include "ZTAPI/ZTPrivateAPIAuthUser.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "ZTUtilites/ZTValidators.hpp"

namespace ZentrelSDK {

namespace {

void send(std::weak_ptr<void> owner, const std::string& email, bool startedLoader,
          std::function<void(const std::string&)> failure) {
  ZTPrivateAPIAuthUser::sendCodeToEmail(
      true, email,
      [owner, startedLoader](ZTSendCodeResponse) {
        // The answer's timeout is not used.
        if (startedLoader || !owner.expired()) ZTUIUtilites::shared()->loaderDissmiss();
      },
      [owner, startedLoader, failure = std::move(failure)](Error error) {
        if (auto alive = owner.lock()) {
          failure(error.localizedDescription());
        } else if (startedLoader) {
          ZTUIUtilites::shared()->loaderDissmiss();
        }
      });
}

}  // namespace

void ZTVerificationModelSteps::sendCode(std::weak_ptr<void> owner,
                                        const std::optional<std::string>& email, bool hideLoader,
                                        std::function<void(const std::string&)> failure) {
  if (!email) {
    failure("email to sent code did not set");
    return;
  }
  if (hideLoader) {
    send(std::move(owner), *email, false, std::move(failure));
    return;
  }
  ZTUIUtilites::shared()->loaderStart(1.0, [owner, email = *email, failure = std::move(failure)] {
    if (owner.expired()) {
      ZTUIUtilites::shared()->loaderDissmiss();
    } else {
      send(owner, email, true, failure);
    }
  });
}

void ZTVerificationModelSteps::showError(const std::string& error) {
  ZTUIUtilites::shared()->loaderDissmiss([error] { ZTUIUtilites::shared()->errorAlert(error); });
}

void ZTVerificationModelSteps::reportCode(const std::shared_ptr<NeedVerification>& screen,
                                          const std::string& code) {
  if (screen) screen->didChangedVerificationCode(code, ZTValidators::validateCode(code));
}

}  // namespace ZentrelSDK
