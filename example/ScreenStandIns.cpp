#include "ScreenStandIns.hpp"

#include <ZentrelSDK.hpp>

#include <iostream>
#include <memory>
#include <string>

#include "ZTAPI/ZTPrivateAPIAuthUser.hpp"
#include "ZTOAuth/ZTOAuthScreens.hpp"
#include "ZTTokenUtilites.hpp"

using namespace ZentrelSDK;

namespace example {

namespace {

constexpr const char* kUser = "user1@example.com";

class SignInScreen : public ZTEntrancePresenting {
 public:
  explicit SignInScreen(const sandbox::Sandbox& server) : server_(server) {}
  bool presentEntrance(bool) override {
    std::cout << "   (sign-in screen: " << kUser << " signs in)\n";
    ZTPrivateAPIAuthUser::checkEmail(
        kUser,
        [this](const ZTCheckEmailResponse&) {
          ZTPrivateAPIAuthUser::sendCodeToEmail(
              false, kUser,
              [this](const ZTSendCodeResponse&) {
                ZTPrivateAPIAuthUser::authToken(
                    kUser, "password1", server_.lastCode(kUser).value_or(""),
                    ZTConstants::ChallengeType::password,
                    [](const ZTAuthTokenResponse& answer) {
                      ZTTokenUtilites::shared()->saveToken(answer.csrfToken);
                      ZTEvents::shared()->authEventEmit();
                    },
                    fail);
              },
              [](const Error& error) { fail(error.localizedDescription()); });
        },
        fail);
    return true;
  }

 private:
  static void fail(const std::string& message) {
    std::cout << "   sign-in failed: " << message << "\n";
  }
  const sandbox::Sandbox& server_;
};

}  // namespace

void installScreenStandIns(const sandbox::Sandbox& server) {
  ZTOAuthScreens::setEntrancePresenter(std::make_shared<SignInScreen>(server));
}

}  // namespace example
