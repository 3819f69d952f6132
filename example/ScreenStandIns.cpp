#include "ScreenStandIns.hpp"

#include <ZentrelSDK.hpp>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "ZTAPI/ZTPrivateAPIAuthUser.hpp"
#include "ZTAuth/Entrance/ZTEntranceViewController.hpp"
#include "ZTExtensions/ZTUIApplication.hpp"
#include "ZTModalScopesView/ZTScopesDescription/ZTOauthScopesDescriptor.hpp"
#include "ZTTokenUtilites.hpp"

using namespace ZentrelSDK;

namespace example {

namespace {

constexpr const char* kUser = "user1@example.com";

// What the user does on the kit's entrance, until its login page is there to do it: signs
// the seeded user in and reports it as the page would.
void signIn(const sandbox::Sandbox& server) {
  std::cout << "   (entrance: " << kUser << " signs in)\n";
  auto fail = [](const std::string& message) {
    std::cout << "   sign-in failed: " << message << "\n";
  };
  ZTPrivateAPIAuthUser::checkEmail(
      kUser,
      [&server, fail](const ZTCheckEmailResponse&) {
        ZTPrivateAPIAuthUser::sendCodeToEmail(
            false, kUser,
            [&server, fail](const ZTSendCodeResponse&) {
              ZTPrivateAPIAuthUser::authToken(
                  kUser, "password1", server.lastCode(kUser).value_or(""),
                  ZTConstants::ChallengeType::password,
                  [](const ZTAuthTokenResponse& answer) {
                    ZTTokenUtilites::shared()->saveToken(answer.csrfToken);
                    ZTEvents::shared()->userDidEnterEmit();
                  },
                  fail);
            },
            [fail](const Error& error) { fail(error.localizedDescription()); });
      },
      fail);
}

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
  ZTOAuthScreens::setVerificationCodePresenter(std::make_shared<CodeScreen>(server));
  ZTOAuthScreens::setScopesPresenter(std::make_shared<ConsentScreen>());
}

void actAtEntrance(const sandbox::Sandbox& server) {
  static std::weak_ptr<UIKit::UIViewController> served;
  auto top = ZTUIApplication::topViewController();
  if (!std::dynamic_pointer_cast<ZTEntranceViewController>(top) || top == served.lock()) return;
  served = top;
  signIn(server);
}

}  // namespace example
