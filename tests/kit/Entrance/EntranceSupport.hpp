// What the entrance's suites share.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <Testing/ManualClock.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIView.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTAccounts.hpp"
#include "ZTEvents.hpp"
#include "ZTEventsRegistration.hpp"
#include "support/SandboxFixture.hpp"

namespace entrancetest {

inline constexpr const char* kNewUser = "new.user@example.com";

// Against the sandbox, on the manual clock, without animations or a session.
class SignUpTest : public zttest::SandboxTest {
 protected:
  static void SetUpTestSuite() {
    UIKit::UIView::setAnimationsEnabled(false);
    PlatformTesting::ManualClock::install();
  }
  // The entrance's own suite animates, in whatever order the suites run.
  static void TearDownTestSuite() { UIKit::UIView::setAnimationsEnabled(true); }
  void SetUp() override {
    zttest::SandboxTest::SetUp();
    ZentrelSDK::ZTAccounts::logout();
  }
};

// The kit's sign-in announcements while this lives: how many, and whether the entrance had
// closed when the last came.
class SignInAnnouncements {
 public:
  explicit SignInAnnouncements(PlatformTesting::UI& ui) : registration_(this) {
    ZentrelSDK::ZTEvents::shared()->authEventListen(this, [this, &ui] {
      ++count;
      closedWhenHeard = !ui.root()->presentedViewController();
    });
  }

  int count = 0;
  bool closedWhenHeard = false;

 private:
  ZentrelSDK::ZTEventsRegistration registration_;
};

// The entrance as a host opens it, through the UI driver, with the caller's answers.
class EntranceScreenTest : public SignUpTest {
 protected:
  // The host asks for sign-in; false when the entrance did not come.
  bool openForCaller() {
    const bool opened = ZentrelSDK::ZTAccounts::auth(
        false, [answers = answers](bool ok) { answers->push_back(ok); });
    ui->settle();
    return opened;
  }
  // The entrance closes on the clock before the caller hears.
  bool waitForAnswer() {
    return ui->runUntil(
        [&] {
          ui->advance(0.1);
          return !answers->empty();
        },
        10);
  }

  std::unique_ptr<PlatformTesting::UI> ui;
  // Shared: a caller left waiting when a test ends may still be answered in a later one.
  std::shared_ptr<std::vector<bool>> answers = std::make_shared<std::vector<bool>>();
};

}  // namespace entrancetest
