// The login view model behind a recording screen: its steps from the device's biometry, and
// the challenge type each code channel hands the token request.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "LoginSupport.hpp"
#include "ZTAuth/Login/ZTLoginViewModel.hpp"

namespace {

using namespace ZentrelSDK;
using namespace logintest;
using LocalAuthentication::LABiometryType;
using PlatformTesting::Device;

class RecordingLoginScreen : public ZTLoginController {
 public:
  void showStep(ZTLoginStep step) override { shown.push_back(step); }
  void tryToLogin() override { ++loginTries; }
  void didLoginSuccessfully(std::function<void()> action) override {
    ++successes;
    if (action) action();
  }
  std::vector<ZTLoginStep> shown;
  int loginTries = 0;
  int successes = 0;
};

class LoginModel : public LoginTest {
 protected:
  void SetUp() override {
    LoginTest::SetUp();
    ui = std::make_unique<PlatformTesting::UI>();
  }
  std::shared_ptr<RecordingLoginScreen> screen = std::make_shared<RecordingLoginScreen>();
};

TEST_F(LoginModel, StepsMoveOneAtATimeFromWhatTheDeviceOffers) {
  struct Case {
    LABiometryType biometry;
    std::vector<ZTLoginStep> shownAtCreation;
  };
  const Case cases[] = {{LABiometryType::faceID, {}},
                        {LABiometryType::none, {ZTLoginStep::enteringEmail}}};
  for (const auto& c : cases) {
    Device::setBiometry(c.biometry);
    screen = std::make_shared<RecordingLoginScreen>();
    auto model = ZTLoginViewModel::make(screen);
    EXPECT_EQ(screen->shown, c.shownAtCreation);
    while (model->loginStep() != ZTLoginStep::enteringVerificationCode) model->goToNextStep();
    EXPECT_EQ(screen->shown.back(), ZTLoginStep::enteringVerificationCode);
    EXPECT_EQ(screen->shown.size(), 3u);
    model->goToNextStep();
    model->goToNextStep();
    EXPECT_EQ(screen->loginTries, 2);
    EXPECT_EQ(model->loginStep(), ZTLoginStep::enteringVerificationCode);
  }
  // Without its screen the model still moves on.
  Device::setBiometry(LABiometryType::faceID);
  auto alone = ZTLoginViewModel::make(std::weak_ptr<ZTLoginController>());
  alone->goToNextStep();
  EXPECT_EQ(alone->loginStep(), ZTLoginStep::enteringEmail);
}

struct ChannelRow {
  const char* name;
  AuthType channel;
  const char* email;
  std::optional<std::string> challengeSent;  // none: nothing sent, an alert instead
};

class ChallengeTypes : public LoginModel, public ::testing::WithParamInterface<ChannelRow> {};

TEST_P(ChallengeTypes, FollowTheCodesChannel) {
  const auto& row = GetParam();
  auto model = ZTLoginViewModel::make(screen);
  model->logIn(row.email, kPassword, "123456", row.channel);
  if (!row.challengeSent) {
    EXPECT_EQ(alert(), "cannot take challenge type for unknown");
    EXPECT_FALSE(ui->isLoaderShowing());
    EXPECT_TRUE(noRequest("auth.token"));
    return;
  }
  ASSERT_TRUE(waitFor("auth.token"));
  EXPECT_EQ(nlohmann::json::parse(sb().requests("auth.token")[0].body)["challengeType"],
            *row.challengeSent);
  EXPECT_EQ(alert(), kInvalidText);  // the code is made up
  EXPECT_EQ(screen->successes, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, ChallengeTypes,
                         ::testing::Values(ChannelRow{"email", AuthType::email, kUser, "emailLink"},
                                           ChannelRow{"otp", AuthType::otp, kOtpUser, "otp"},
                                           ChannelRow{"sms", AuthType::sms, kSmsUser, "emailLink"},
                                           ChannelRow{"unknown", AuthType::unknown, kUser,
                                                      std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoginModel, AnAnswerAfterTheModelHasGoneOnlyTakesTheLoaderDown) {
  sb().inject("auth.token", sandbox::Fault::after(std::chrono::milliseconds(200)));
  auto model = ZTLoginViewModel::make(screen);
  model->logIn(kOtpUser, kPassword, "246810", AuthType::otp);
  ASSERT_TRUE(ui->runUntil([&] { return ui->isLoaderShowing(); }));
  model.reset();
  ASSERT_TRUE(waitFor("auth.token"));
  EXPECT_TRUE(waitForLoaderGone());
  EXPECT_EQ(screen->successes, 0);
  EXPECT_EQ(entered, 0);
  EXPECT_EQ(ZTTokenUtilites::shared()->getToken(), "");
}

}  // namespace
