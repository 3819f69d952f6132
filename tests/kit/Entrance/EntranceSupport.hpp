// What the entrance's suites share.
#pragma once

#include <gtest/gtest.h>

#include <Testing/ManualClock.hpp>
#include <UIKit/UIView.hpp>

#include "ZTAccounts.hpp"
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

}  // namespace entrancetest
