// The password reset screen's own request failing while the screen still slides in: the
// user learns of it once the screen is in.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include <UIKit/UIViewController.hpp>

#include "LoginSupport.hpp"
#include "ZTAuth/ChangePassword/ZTChangePasswordViewController.hpp"
#include "support/LogTap.hpp"

namespace {

using namespace logintest;
using sandbox::Fault;

class ResetSlidingIn : public LoginTest {
 protected:
  std::shared_ptr<ZentrelSDK::ZTChangePasswordViewController> reset() const {
    return std::dynamic_pointer_cast<ZentrelSDK::ZTChangePasswordViewController>(ui->frontmost());
  }
};

TEST_F(ResetSlidingIn, AServerErrorDuringTheSlideShowsItsAlertOnceTheScreenIsIn) {
  PlatformTesting::Device::setBiometry(LocalAuthentication::LABiometryType::none);
  openPage();
  reachPasswordStep(kUser);
  ASSERT_TRUE(waitFor("auth.code"));
  sb().inject("password.reset", Fault::answer(500, "down"));
  zttest::LogTap log;
  UIKit::UIView::setAnimationsEnabled(true);
  ASSERT_TRUE(ui->tap(find("forgotPassButton")));
  ASSERT_TRUE(ui->runUntil([&] { return reset() != nullptr; }));
  auto screen = reset();

  // The clock holds the slide while the answer comes in and the kit handles it.
  ASSERT_TRUE(ui->runUntil([&] { return log.contains("cannot serializate data"); }));
  ui->settle();
  EXPECT_TRUE(screen->isBeingPresented());
  EXPECT_EQ(ui->frontmost(), screen);

  ui->advance(UIKit::UIViewController::transitionDuration);
  EXPECT_FALSE(screen->isBeingPresented());
  EXPECT_EQ(alert(), kGenericText);
  EXPECT_EQ(screen->presentedViewController(), ui->frontmost()) << "over the reset screen";
}

}  // namespace
