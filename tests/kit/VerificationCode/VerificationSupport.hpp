// A screen that records what the verification view models tell it, and a fixture that runs
// them as a user would: on screen, against the sandbox, on the manual clock.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <Testing/ManualClock.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIView.hpp>

#include "ZTTokenUtilites.hpp"
#include "ZTUIComponents/ZTVerificationCode/NeedVerification.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTTooManyRequestsTimer/ZTVerificationTimerBlock.hpp"
#include "support/SandboxFixture.hpp"

namespace vctest {

inline constexpr const char* kUser = "user1@example.com";
inline constexpr const char* kSmsUser = "sms.user@example.com";
inline constexpr const char* kOtpUser = "otp.user@example.com";
inline constexpr const char* kGenericText = "Something went wrong, please, try later";

class RecordingScreen : public ZentrelSDK::NeedVerification {
 public:
  void didChangedVerificationCode(const std::string& code, bool finished) override {
    reports.emplace_back(code, finished);
  }
  void addVerificationTimerView(
      const std::shared_ptr<ZentrelSDK::ZTVerificationTimerBlock>& with) override {
    blocks.push_back(with);
  }
  void removeVerificationTimerView() override { ++removals; }

  std::vector<std::pair<std::string, bool>> reports;
  std::vector<std::shared_ptr<ZentrelSDK::ZTVerificationTimerBlock>> blocks;
  int removals = 0;
};

class VerificationTest : public zttest::SandboxTest {
 protected:
  static void SetUpTestSuite() {
    UIKit::UIView::setAnimationsEnabled(false);
    PlatformTesting::ManualClock::install();
  }

  void SetUp() override {
    zttest::SandboxTest::SetUp();
    ZentrelSDK::ZTTokenUtilites::shared()->clearTokens();
    ui = std::make_unique<PlatformTesting::UI>();
    screen = std::make_shared<RecordingScreen>();
  }
  void TearDown() override {
    // Alerts close after 5 s, loaders on the next turns: none is left for the next test.
    ui->advance(10);
    ui->settle();
    if (screen)
      screen->blocks.clear();  // a wait block's close action holds the screen until it ends
    ui.reset();
    ZentrelSDK::ZTTokenUtilites::shared()->clearTokens();
  }

  void signIn(const std::string& email) {
    ZentrelSDK::ZTTokenUtilites::shared()->saveToken(sb().signIn(email), /*base64=*/false);
  }
  // Serves the run loop until the endpoint has answered `n` requests, noting whether the
  // loader was up meanwhile (it goes only once the kit has the answer; a test that looks for
  // it holds the answer back with `slowCodes()`, lest the answer and the loader's dismissal
  // both pass inside one action of the UI driver).
  bool waitForRequests(const char* endpoint, std::size_t n = 1) {
    loaderShown = ui->isLoaderShowing();
    return ui->runUntil([&] {
      loaderShown = loaderShown || ui->isLoaderShowing();
      return sb().waitFor(endpoint, n, std::chrono::milliseconds(0));
    });
  }
  // The next code request is answered only after a moment of real time.
  void slowCodes() {
    sb().inject("auth.code", sandbox::Fault::after(std::chrono::milliseconds(150)));
  }
  // The sandbox saw no `n`th such request within a short real-time grace period.
  bool noRequest(const char* endpoint, std::size_t n = 1) {
    return !sb().waitFor(endpoint, n, std::chrono::milliseconds(300));
  }
  bool waitForAlert() {
    return ui->runUntil([&] { return ui->alertTitle() == std::optional<std::string>("Error"); });
  }
  bool waitForLoaderGone() {
    return ui->runUntil([&] { return !ui->isLoaderShowing(); });
  }
  // The channel of the last code the sandbox sent to the address, if any.
  std::optional<std::string> lastChannel(const std::string& address) {
    std::optional<std::string> channel;
    for (const auto& sent : sb().outbox()) {
      if (sent.address == address) channel = sent.channel;
    }
    return channel;
  }

  std::unique_ptr<PlatformTesting::UI> ui;
  std::shared_ptr<RecordingScreen> screen;
  bool loaderShown = false;
};

}  // namespace vctest
