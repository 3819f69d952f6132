#include <atomic>
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

TEST_F(HostEntryTest, AuthAnswersItsCallerOnceForSignInOrCancel) {
  entrance->onPresent = nullptr;
  std::vector<bool> answers;
  ASSERT_TRUE(ZTAccounts::auth(true, [&](bool signedIn) { answers.push_back(signedIn); }));
  EXPECT_EQ(entrance->presented, 1);
  ZTEvents::shared()->authEventEmit();
  ASSERT_TRUE(ui->runUntil([&] { return !answers.empty(); }, 5));
  ZTEvents::shared()->authEventEmit();
  ui->settle();
  EXPECT_EQ(answers, std::vector<bool>{true});

  // A cancel is heard on the bus's own queue, not the main one.
  std::atomic<int> cancelled{0};
  std::atomic<int> cancelledAnswers{0};
  ASSERT_TRUE(ZTAccounts::auth(false, [&](bool signedIn) {
    cancelled = signedIn ? 1 : -1;
    ++cancelledAnswers;
  }));
  ZTEvents::shared()->authWasCancelledEmit();
  ASSERT_TRUE(ui->runUntil([&] { return cancelledAnswers.load() > 0; }, 5));
  EXPECT_EQ(cancelled.load(), -1);
  EXPECT_EQ(cancelledAnswers.load(), 1);

  ZTOAuthScreens::setEntrancePresenter(nullptr);
  EXPECT_FALSE(ZTAccounts::auth(false, [&](bool) { ADD_FAILURE() << "called without a screen"; }));
  ZTEvents::shared()->authEventEmit();
  ui->settle();
}
