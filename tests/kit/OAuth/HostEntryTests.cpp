#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "OAuthFlowSupport.hpp"

using namespace ZentrelSDK;
using namespace oauthtest;

// Each runs in a fresh process, where the core does not exist yet.
TEST(OAuthCoreDeathTest, SharedBeforeSetupStopsWithTheMessage) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(ZTOAuthCore::shared(),
               "Error - you must call setup before accessing ZTOAuthCore\\.shared");
}

class HostEntryTest : public OAuthFlowTest {};

TEST_F(HostEntryTest, VerificationFlowHandsOverTheCodeOrWhyNot) {
  using CodeResult = Foundation::Result<std::string, Error>;
  const std::vector<std::pair<CodeResult, std::pair<bool, std::optional<std::string>>>> cases{
      {Foundation::success(std::string("123456")), {true, "123456"}},
      {Foundation::failure(ZTValidationError::cancelled()), {false, std::nullopt}},
      {Foundation::failure(ZTNetworkError::unauthorized()), {false, "unauthorized"}},
  };
  for (const auto& [screen, expected] : cases) {
    codeScreen->answer = [screen = screen] { return screen; };
    std::vector<std::pair<bool, std::optional<std::string>>> answers;
    ZTSecurityManager::beginVerificationFlow(
        [&](bool ok, const std::optional<std::string>& text) { answers.emplace_back(ok, text); });
    ASSERT_TRUE(ui->runUntil([&] { return !answers.empty(); }, 5));
    ui->settle();
    EXPECT_EQ(answers, (std::vector<std::pair<bool, std::optional<std::string>>>{expected}));
  }

  ZTOAuthScreens::setVerificationCodePresenter(nullptr);
  std::optional<bool> withoutScreen;
  ZTSecurityManager::beginVerificationFlow(
      [&](bool ok, const std::optional<std::string>&) { withoutScreen = ok; });
  EXPECT_EQ(withoutScreen, false);
}
