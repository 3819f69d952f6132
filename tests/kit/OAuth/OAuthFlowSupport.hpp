// Fakes of the kit's screens and a fixture that runs the OAuth flow against the sandbox.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/Result.hpp>
#include <Foundation/Thread.hpp>
#include <Testing/ManualClock.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIView.hpp>

#include "ZTAccounts.hpp"
#include "ZTAuth/Entrance/ZTEntranceViewController.hpp"
#include "ZTEvents.hpp"
#include "ZTOAuth/ZTOAuthCore.hpp"
#include "ZTOAuth/ZTOAuthScreens.hpp"
#include "ZTOAuth/ZTOAuthUtilites/ZTPKCE.hpp"
#include "ZTSecurityManager.hpp"
#include "ZTTokenUtilites.hpp"
#include "support/SandboxFixture.hpp"

namespace oauthtest {

inline constexpr const char* kApp = "sandbox-app";
inline constexpr const char* kUser = "user1@example.com";

// The user at the kit's entrance: notices each new entrance when it comes to the front and
// runs `onPresent` on a later main-queue turn, as the user's sign-in would.
class EntranceUser {
 public:
  void serve(const PlatformTesting::UI& ui) {
    auto front = std::dynamic_pointer_cast<ZentrelSDK::ZTEntranceViewController>(ui.frontmost());
    if (!front || front == seen.lock()) return;
    seen = front;
    ++presented;
    if (onPresent) Dispatch::DispatchQueue::main().async(onPresent);
  }
  int presented = 0;
  std::function<void()> onPresent;

 private:
  std::weak_ptr<ZentrelSDK::ZTEntranceViewController> seen;
};

// The code screen: answers with `answer` on a later main-queue turn.
class FakeCodeScreen : public ZentrelSDK::ZTVerificationCodePresenting {
 public:
  void sendVerificationCodeAndShowModal(Completion completion) override {
    ++shown;
    Dispatch::DispatchQueue::main().async(
        [this, completion = std::move(completion)] { completion(answer()); });
  }
  int shown = 0;
  std::function<Foundation::Result<std::string, ZentrelSDK::Error>()> answer;
};

// The consent screen: records the scopes it was given and answers `allow`.
class FakeScopesScreen : public ZentrelSDK::ZTModalScopesPresenting {
 public:
  void showModal(const std::vector<std::string>& scopes,
                 std::function<void(bool)> completion) override {
    shown.push_back(scopes);
    Dispatch::DispatchQueue::main().async(
        [this, completion = std::move(completion)] { completion(allow); });
  }
  bool allow = true;
  std::vector<std::vector<std::string>> shown;
};

// Records the answers one asker of givePermissions gets.
struct Asker {
  std::vector<bool> answers;
  bool onMain = true;
  std::function<void(bool)> callback() {
    return [this](bool granted) {
      answers.push_back(granted);
      onMain = onMain && Foundation::Thread::isMainThread();
    };
  }
};

class OAuthFlowTest : public zttest::SandboxTest {
 protected:
  static void SetUpTestSuite() {
    ZentrelSDK::ZTSecurityManager::initialOAuth(kApp);
    ZentrelSDK::ZTOAuthCore::shared();
    UIKit::UIView::setAnimationsEnabled(false);
    PlatformTesting::ManualClock::install();
  }

  void SetUp() override {
    zttest::SandboxTest::SetUp();
    ui = std::make_unique<PlatformTesting::UI>();
    ZentrelSDK::ZTAccounts::logout();
    entrance = std::make_shared<EntranceUser>();
    codeScreen = std::make_shared<FakeCodeScreen>();
    scopesScreen = std::make_shared<FakeScopesScreen>();
    ZentrelSDK::ZTOAuthScreens::setVerificationCodePresenter(codeScreen);
    ZentrelSDK::ZTOAuthScreens::setScopesPresenter(scopesScreen);
    // A signed-in session whose login and consent the server remembers.
    sb().setSkip(kApp, sandbox::SkipPolicy::Always, sandbox::SkipPolicy::Always);
    entrance->onPresent = [this] { signInAndAnnounce(); };
  }

  void TearDown() override {
    ZentrelSDK::ZTOAuthScreens::setVerificationCodePresenter(nullptr);
    ZentrelSDK::ZTOAuthScreens::setScopesPresenter(nullptr);
    ZentrelSDK::ZTPKCE::setRandomSource(nullptr);
    ui->settle();
    ui.reset();
  }

  // The session the sign-in screens would leave behind.
  void signIn(const std::string& email = kUser) {
    ZentrelSDK::ZTTokenUtilites::shared()->saveToken(sb().signIn(email), /*base64=*/false);
  }
  // As a page of the entrance does after a sign-in.
  void signInAndAnnounce(const std::string& email = kUser) {
    signIn(email);
    ZentrelSDK::ZTEvents::shared()->userDidEnterEmit();
  }

  // Runs the main run loop until `condition`, the user acting at every entrance that shows.
  bool runUntil(const std::function<bool()>& condition, double seconds = 10.0) {
    return ui->runUntil(
        [&] {
          entrance->serve(*ui);
          return condition();
        },
        seconds);
  }

  static void ask(Asker& asker) {
    ZentrelSDK::ZTOAuthCore::shared()->givePermissions(asker.callback());
  }
  bool waitForAnswer(const Asker& asker, double seconds = 20.0) {
    return runUntil([&] { return !asker.answers.empty(); }, seconds);
  }
  bool waitForAlert(double seconds = 20.0) {
    return runUntil([&] { return ui->alertTitle() == std::optional<std::string>("Error"); },
                    seconds);
  }

  // The user sees the step's text, the loader is gone and the asker hears false only when the
  // alert closes (after 5 s).
  void expectStepFailure(const std::optional<std::string>& text, const Asker& asker) {
    ASSERT_TRUE(waitForAlert()) << "no error alert";
    if (text) {
      EXPECT_EQ(ui->alertMessage(), *text);
    }
    EXPECT_FALSE(ui->alertMessage().value_or("").empty());
    EXPECT_FALSE(ui->isLoaderShowing());
    EXPECT_TRUE(asker.answers.empty()) << "answered before the alert closed";
    ui->advance(4.0);
    ui->settle();
    EXPECT_TRUE(asker.answers.empty());
    ui->advance(1.0);
    ASSERT_TRUE(waitForAnswer(asker, 5.0));
    EXPECT_EQ(asker.answers, std::vector<bool>{false});
    EXPECT_TRUE(asker.onMain);
    EXPECT_FALSE(ZentrelSDK::ZTTokenUtilites::shared()->getOAuthToken());
  }

  // Endpoints the sandbox has no route for: a followed redirect would show up here.
  std::size_t unroutedRequests() const { return sb().count(""); }

  std::unique_ptr<PlatformTesting::UI> ui;
  std::shared_ptr<EntranceUser> entrance;
  std::shared_ptr<FakeCodeScreen> codeScreen;
  std::shared_ptr<FakeScopesScreen> scopesScreen;
};

}  // namespace oauthtest
