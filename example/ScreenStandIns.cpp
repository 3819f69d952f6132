#include "ScreenStandIns.hpp"

#include <ZentrelSDK.hpp>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "ZTAPI/ZTPrivateAPIAuthUser.hpp"
#include "ZTModalScopesView/ZTScopesDescription/ZTOauthScopesDescriptor.hpp"
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

class CodeScreen : public ZTVerificationCodePresenting {
 public:
  explicit CodeScreen(const sandbox::Sandbox& server) : server_(server) {}
  void sendVerificationCodeAndShowModal(Completion completion) override {
    ZTPrivateAPIAuthUser::sendCodeToEmail(
        false, kUser,
        [this, completion](const ZTSendCodeResponse&) {
          const auto code = server_.lastCode(kUser).value_or("");
          std::cout << "   (code screen: the user types " << code << ")\n";
          completion(Foundation::success(code));
        },
        [completion](const Error& error) { completion(Foundation::failure(error)); });
  }

 private:
  const sandbox::Sandbox& server_;
};

class ConsentScreen : public ZTModalScopesPresenting {
 public:
  void showModal(const std::vector<std::string>& scopes,
                 std::function<void(bool)> completion) override {
    std::cout << "   (consent screen: the user allows";
    for (const auto& line : ZTOauthScopesDescriptor::decrypt(scopes))
      std::cout << " \"" << line << "\"";
    std::cout << ")\n";
    completion(true);
  }
};

}  // namespace

void installScreenStandIns(const sandbox::Sandbox& server) {
  ZTOAuthScreens::setEntrancePresenter(std::make_shared<SignInScreen>(server));
  ZTOAuthScreens::setVerificationCodePresenter(std::make_shared<CodeScreen>(server));
  ZTOAuthScreens::setScopesPresenter(std::make_shared<ConsentScreen>());
}

}  // namespace example
