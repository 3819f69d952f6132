#include "ScreenStandIns.hpp"

#include <ZentrelSDK.hpp>

#include <iostream>
#include <memory>
#include <string>

#include "ZTAPI/ZTPrivateAPIAuthUser.hpp"
#include "ZTTokenUtilites.hpp"

using namespace ZentrelSDK;

namespace example {

namespace {

constexpr const char* kUser = "user1@example.com";

void fail(const std::string& message) {
  std::cout << "   sign-in failed: " << message << "\n";
}

}  // namespace

// Signs the seeded user in as the login page would, and reports it as the page does.
void signInAtEntrance(const sandbox::Sandbox& server) {
  std::cout << "   (entrance: " << kUser << " signs in)\n";
  ZTPrivateAPIAuthUser::checkEmail(
      kUser,
      [&server](const ZTCheckEmailResponse&) {
        ZTPrivateAPIAuthUser::sendCodeToEmail(
            false, kUser,
            [&server](const ZTSendCodeResponse&) {
              ZTPrivateAPIAuthUser::authToken(
                  kUser, "password1", server.lastCode(kUser).value_or(""),
                  ZTConstants::ChallengeType::password,
                  [](const ZTAuthTokenResponse& answer) {
                    ZTTokenUtilites::shared()->saveToken(answer.csrfToken);
                    ZTEvents::shared()->userDidEnterEmit();
                  },
                  fail);
            },
            [](const Error& error) { fail(error.localizedDescription()); });
      },
      fail);
}

}  // namespace example
