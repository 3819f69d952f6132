// The code card asks for the account settings as it opens, so their answer may come while
// the card still fades in: what follows it (the loader and the code, or the error alert)
// waits for the card to be in.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <UIKit/UIViewController.hpp>

#include "ZTModalCodeVerification/ZTModalCodeVerificationViewController.hpp"
#include "ZTSecurityManager.hpp"
#include "kit/OAuth/OAuthFlowSupport.hpp"
#include "support/LogTap.hpp"

using namespace ZentrelSDK;
using namespace oauthtest;

namespace {

struct SettingsRow {
  const char* name;
  const char* user;
  std::optional<sandbox::Fault> fault;
  std::optional<std::string> message;  // the error alert's; none: the code goes out
};

class CardSlidingIn : public OAuthFlowTest, public ::testing::WithParamInterface<SettingsRow> {
 protected:
  void TearDown() override {
    ui->advance(10);  // an alert closes after 5 s
    OAuthFlowTest::TearDown();
    UIKit::UIView::setAnimationsEnabled(false);
  }
  std::shared_ptr<ZTModalCodeVerificationViewController> card() const {
    return std::dynamic_pointer_cast<ZTModalCodeVerificationViewController>(ui->frontmost());
  }
};

TEST_P(CardSlidingIn, WhatFollowsTheSettingsWaitsForTheCardToBeIn) {
  const auto& row = GetParam();
  signIn(row.user);
  if (row.fault) sb().inject("settings", *row.fault);
  zttest::LogTap log;
  UIKit::UIView::setAnimationsEnabled(true);
  ZTSecurityManager::beginVerificationFlow([](bool, const std::optional<std::string>&) {});
  auto shown = card();
  ASSERT_TRUE(shown);

  // The clock holds the fade while the answer comes in and the kit handles it: the header
  // follows good settings, a failure's text body is logged once handed on.
  ASSERT_TRUE(ui->runUntil([&] {
    if (row.fault) return log.contains("cannot serializate data");
    auto title = shown->titleLabel.lock();
    return title && title->text() == std::optional<std::string>("Verify with SMS");
  }));
  ui->settle();
  EXPECT_TRUE(shown->isBeingPresented());
  EXPECT_EQ(ui->frontmost(), shown);
  EXPECT_FALSE(ui->isLoaderShowing());

  ui->advance(UIKit::UIViewController::transitionDuration);
  EXPECT_FALSE(shown->isBeingPresented());
  if (row.message) {
    ASSERT_TRUE(waitForAlert(10));
    EXPECT_EQ(ui->alertMessage(), *row.message);
    EXPECT_TRUE(sb().outbox().empty());
  } else {
    EXPECT_TRUE(ui->isLoaderShowing()) << "the loader over the card";
    ui->advance(UIKit::UIViewController::transitionDuration);  // the loader is in: the code goes
    ASSERT_TRUE(ui->runUntil([&] { return !sb().outbox().empty(); }));
    ASSERT_TRUE(ui->runUntil([&] { return !ui->isLoaderShowing(); }, 5)) << "the loader stays";
  }
  EXPECT_EQ(shown->presentingViewController(), ui->root());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CardSlidingIn,
    ::testing::Values(SettingsRow{"served", "sms.user@example.com", std::nullopt, std::nullopt},
                      SettingsRow{"serverError", kUser, sandbox::Fault::answer(500, "down"),
                                  "Something went wrong, please, try later"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
