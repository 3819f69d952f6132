// The login page as the entrance shows it, the reset screen it opens, a device with biometry
// and the sandbox; a fixture that acts on them as a user would, on the manual clock.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include <LocalAuthentication/LAContext.hpp>
#include <Testing/DeviceSecurity.hpp>
#include <Testing/ManualClock.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIButton.hpp>
#include <UIKit/UIView.hpp>
#include <UIKit/UIViewController.hpp>
#include <sandbox/Sandbox.hpp>

#include "ZTAuth/Login/ZTLoginViewController.hpp"
#include "ZTEvents.hpp"
#include "ZTTokenUtilites.hpp"
#include "support/SandboxFixture.hpp"

namespace logintest {

inline constexpr const char* kUser = "user1@example.com";
inline constexpr const char* kSmsUser = "sms.user@example.com";
inline constexpr const char* kOtpUser = "otp.user@example.com";
inline constexpr const char* kPassword = "password1";
inline constexpr const char* kGenericText = "Something went wrong, please, try later";
inline constexpr const char* kInvalidText = "Invalid password or code, try again";

// A six-digit code that is not `code`.
inline std::string otherCode(const std::string& code) {
  return code == "000000" ? "111111" : "000000";
}

// Holds a page's view in its own without making the page its child, as the entrance's page
// collection does.
class PageHost : public UIKit::UIViewController {
 public:
  explicit PageHost(std::shared_ptr<UIKit::UIViewController> page) : page(std::move(page)) {}
  void viewDidLoad() override {
    auto pageView = page->view();
    pageView->setFrame(view()->bounds());
    view()->addSubview(pageView);
  }
  const std::shared_ptr<UIKit::UIViewController> page;
};

class LoginTest : public zttest::SandboxTest {
 protected:
  static void SetUpTestSuite() { PlatformTesting::ManualClock::install(); }

  void SetUp() override {
    zttest::SandboxTest::SetUp();
    UIKit::UIView::setAnimationsEnabled(false);
    PlatformTesting::Device::reset();  // passcode, Face ID, sheets approved, empty keychain
    ZentrelSDK::ZTTokenUtilites::shared()->clearTokens();
    ZentrelSDK::ZTEvents::shared()->userDidEnterListen(listener, [this] { ++entered; });
  }
  void TearDown() override {
    if (ui) {
      ui->advance(10);  // alerts close after 5 s
      ui->settle();
    }
    ZentrelSDK::ZTEvents::shared()->unregiterEvents(listener);
    ui.reset();
    page.reset();
    host.reset();
    UIKit::UIView::setAnimationsEnabled(true);
    PlatformTesting::Device::reset();
    ZentrelSDK::ZTTokenUtilites::shared()->clearTokens();
  }

  // The login page, made as the entrance makes it, on screen.
  void openPage() {
    page = ZentrelSDK::ZTLoginViewController::make();
    host = std::make_shared<PageHost>(page);
    ui = std::make_unique<PlatformTesting::UI>(host);
    ui->settle();
  }

  template <class V = UIKit::UIView>
  std::shared_ptr<V> find(const char* identifier) const {
    return ui->find<V>(identifier);
  }
  bool continueEnabled() const { return find<UIKit::UIButton>("continueButton")->isEnabled(); }
  bool tapContinue() { return ui->tap(find("continueButton")); }

  // Serves the run loop until the endpoint has answered `n` requests.
  bool waitFor(const char* endpoint, std::size_t n = 1) {
    return ui->runUntil([&] { return sb().waitFor(endpoint, n, std::chrono::milliseconds(0)); });
  }
  bool noRequest(const char* endpoint, std::size_t n = 1) {
    ui->settle();
    return !sb().waitFor(endpoint, n, std::chrono::milliseconds(300));
  }
  // The error alert's text, once one shows (none within the limit).
  std::optional<std::string> alert() {
    ui->runUntil([&] { return ui->alertTitle() == std::optional<std::string>("Error"); }, 15);
    return ui->alertMessage();
  }
  bool waitForLoaderGone() {
    return ui->runUntil([&] { return !ui->isLoaderShowing(); });
  }

  // E-mail, Continue, password: the page waits at the password step with the code sent.
  void reachPasswordStep(const std::string& email) {
    ASSERT_TRUE(ui->type(email, find("emailTextField")));
    ASSERT_TRUE(tapContinue());
    ASSERT_TRUE(waitFor("auth.email"));
  }
  // From the password step: the password, then Return into the code entry.
  void enterPassword(const std::string& password) {
    ASSERT_TRUE(ui->type(password + "\n", find("passwordTextField")));
  }

  // Five digits into the entry leave Continue disabled, the sixth enables it.
  void typeCodeDigitByDigit(const std::shared_ptr<UIKit::UIView>& entry, const std::string& code) {
    ASSERT_TRUE(ui->type(code.substr(0, 5), entry));
    EXPECT_FALSE(continueEnabled());
    ASSERT_TRUE(ui->type(code.substr(5)));
    EXPECT_TRUE(continueEnabled());
  }

  std::shared_ptr<ZentrelSDK::ZTLoginViewController> page;
  std::shared_ptr<PageHost> host;
  std::unique_ptr<PlatformTesting::UI> ui;
  std::shared_ptr<int> listener = std::make_shared<int>(0);
  int entered = 0;
};

}  // namespace logintest
