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
#include <UIKit/UIButton.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UIView.hpp>

#include "ZTAccounts.hpp"
#include "ZTAuth/Entrance/ZTEntranceViewController.hpp"
#include "ZTEvents.hpp"
#include "ZTModalCodeVerification/ZTModalCodeVerificationViewController.hpp"
#include "ZTModalScopesView/ZTModalScopesViewController.hpp"
#include "ZTOAuth/ZTOAuthCore.hpp"
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

// Records the answers one asker of givePermissions gets. They live as long as the callback,
// which may answer after the test returned.
struct Asker {
  struct Heard {
    std::vector<bool> answers;
    bool onMain = true;
  };
  std::shared_ptr<Heard> heard = std::make_shared<Heard>();
  std::vector<bool>& answers = heard->answers;
  bool& onMain = heard->onMain;
  std::function<void(bool)> callback() {
    return [heard = heard](bool granted) {
      heard->answers.push_back(granted);
      heard->onMain = heard->onMain && Foundation::Thread::isMainThread();
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
    // A signed-in session whose login and consent the server remembers.
    sb().setSkip(kApp, sandbox::SkipPolicy::Always, sandbox::SkipPolicy::Always);
    entrance->onPresent = [this] { signInAndAnnounce(); };
  }

  void TearDown() override {
    ZentrelSDK::ZTPKCE::setRandomSource(nullptr);
    // What a test left pending (alerts that close, answers) runs while the fixture lives.
    ui->advance(60);
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

  // The user signs in on the entrance's login page once it is in front: the e-mail form
  // (past the biometric offer), Continue, the password, the code the sandbox sent, Continue.
  // False when a step found nothing to act on.
  bool logInAtEntrance(const std::string& email = kUser) {
    const bool inFront = runUntil(
        [&] {
          return std::dynamic_pointer_cast<ZentrelSDK::ZTEntranceViewController>(ui->frontmost()) &&
                 !ui->isLoaderShowing();
        },
        20);
    if (!inFront) return false;
    if (auto offer = ui->findVisible("goToEnterEmailButton")) ui->tap(offer);
    const auto codesBefore = sb().outbox().size();
    if (!ui->type(email, ui->findVisible("emailTextField")) ||
        !ui->tap(ui->findVisible("continueButton")))
      return false;
    if (!runUntil([&] { return sb().outbox().size() > codesBefore && !ui->isLoaderShowing(); }))
      return false;
    const auto code = sb().lastCode(email);
    if (!code || !ui->type("password1\n", ui->findVisible("passwordTextField")) ||
        !ui->type(*code, ui->findVisible("codeEnterView")))
      return false;
    codesSeen = sb().outbox().size();  // the login's code is not the code card's
    return ui->tap(ui->findVisible("continueButton"));
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

  std::shared_ptr<ZentrelSDK::ZTModalCodeVerificationViewController> codeCard() const {
    return std::dynamic_pointer_cast<ZentrelSDK::ZTModalCodeVerificationViewController>(
        ui->frontmost());
  }
  // The code card in front and ready for the user: its code sent, or the authenticator's
  // channel shown, and the loader gone. Null when it never came.
  std::shared_ptr<ZentrelSDK::ZTModalCodeVerificationViewController> readyCodeCard() {
    std::shared_ptr<ZentrelSDK::ZTModalCodeVerificationViewController> card;
    const bool ready = runUntil(
        [&] {
          card = codeCard();
          if (!card || ui->isLoaderShowing()) return false;
          auto title = card->titleLabel.lock();
          return sb().outbox().size() > codesSeen ||
                 (title && title->text() == std::optional<std::string>("Verify with OTP"));
        },
        20);
    if (!ready) return nullptr;
    codesSeen = sb().outbox().size();
    return card;
  }
  // The user types `code` (none: the code the sandbox sent last) and confirms it.
  bool enterCode(std::optional<std::string> code = std::nullopt) {
    if (!readyCodeCard()) return false;
    const std::string typed = code ? *code : sb().outbox().back().code;
    return ui->type(typed, ui->find("codeEnterView")) && ui->tap(button("Confirm"));
  }
  bool cancelCode() { return readyCodeCard() && ui->tap(button("Cancel")); }

  // The user answers the consent card once it is in front: its rows, or none when it never
  // came.
  std::optional<std::vector<std::string>> answerConsent(bool allow) {
    std::shared_ptr<ZentrelSDK::ZTModalScopesViewController> card;
    const bool shown = runUntil(
        [&] {
          card =
              std::dynamic_pointer_cast<ZentrelSDK::ZTModalScopesViewController>(ui->frontmost());
          return card != nullptr;
        },
        20);
    if (!shown) return std::nullopt;
    std::vector<std::string> rows;
    if (auto table = card->tableView.lock()) {
      for (const auto& cell : table->visibleCells())
        rows.push_back(cell->textLabel()->text().value_or(""));
    }
    ui->tap(button(allow ? "Allow" : "Cancel"));
    return rows;
  }
  // The frontmost button of that title.
  std::shared_ptr<UIKit::UIButton> button(const std::string& title) const {
    for (const auto& candidate : ui->findAll<UIKit::UIButton>())
      if (candidate->currentTitle() == title) return candidate;
    return nullptr;
  }

  // Endpoints the sandbox has no route for: a followed redirect would show up here.
  std::size_t unroutedRequests() const { return sb().count(""); }

  std::unique_ptr<PlatformTesting::UI> ui;
  std::shared_ptr<EntranceUser> entrance;
  // Codes of the outbox the user has seen.
  std::size_t codesSeen = 0;
};

}  // namespace oauthtest
