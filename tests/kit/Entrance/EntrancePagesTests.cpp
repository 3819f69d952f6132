// The entrance the kit presents, with its real pages against the sandbox: the login page
// first, the sign-up page a tab or a swipe away, and a login that closes the entrance.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <LocalAuthentication/LAContext.hpp>
#include <Testing/DeviceSecurity.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UICollectionView.hpp>
#include <UIKit/UILabel.hpp>

#include "EntranceSupport.hpp"
#include "ZTAccounts.hpp"
#include "ZTAuth/Entrance/ZTCollectionViewController.hpp"
#include "ZTAuth/Entrance/ZTEntranceViewController.hpp"
#include "ZTAuth/Login/ZTLoginViewController.hpp"
#include "ZTAuth/SignUp/ZTSignUpViewController.hpp"
#include "ZTTokenUtilites.hpp"
#include "ZTUIComponents/ZTTextFieldView.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTSixDigitsCodeEnterView.hpp"
#include "ZTUtilites/ZTUIConstants.hpp"

using namespace ZentrelSDK;
using LocalAuthentication::LABiometryType;
using PlatformTesting::Device;

namespace {

constexpr const char* kUser = "user1@example.com";

class EntrancePagesTest : public entrancetest::EntranceScreenTest {
 protected:
  void SetUp() override {
    EntranceScreenTest::SetUp();
    Device::reset();
    ui = std::make_unique<PlatformTesting::UI>();
  }
  void TearDown() override {
    ui->advance(10);  // an alert closes after 5 s
    ui->settle();
    ui.reset();
    Device::reset();
  }

  void openEntrance() {
    ASSERT_TRUE(openForCaller());
    entrance = std::dynamic_pointer_cast<ZTEntranceViewController>(ui->frontmost());
    ASSERT_TRUE(entrance);
    auto model = std::dynamic_pointer_cast<ZTEntranceViewModel>(entrance->viewModel);
    ASSERT_TRUE(model);
    pages =
        std::dynamic_pointer_cast<ZTCollectionViewController>(model->collectionViewController());
    ASSERT_TRUE(pages);
  }

  // What the user sees of that name, on the page in view.
  template <class V = UIKit::UIView>
  std::shared_ptr<V> shown(const char* identifier) const {
    return ui->findVisible<V>(identifier);
  }
  bool loginTabSelected() const {
    auto login = ui->find<UIKit::UILabel>("loginLabelTab");
    auto signUp = ui->find<UIKit::UILabel>("signUpLabelTab");
    const bool loginMain = login->textColor() == ZTUIConstants::MAIN_COLOR();
    const bool signUpMain = signUp->textColor() == ZTUIConstants::MAIN_COLOR();
    EXPECT_NE(loginMain, signUpMain) << "one tab at a time";
    return loginMain;
  }

  std::shared_ptr<ZTEntranceViewController> entrance;
  std::shared_ptr<ZTCollectionViewController> pages;
};

TEST_F(EntrancePagesTest, TheLoginPageComesFirstAndTheSignUpPageNext) {
  openEntrance();
  ASSERT_EQ(pages->pages().size(), 2u);
  EXPECT_TRUE(std::dynamic_pointer_cast<ZTLoginViewController>(pages->pages()[0]));
  EXPECT_TRUE(std::dynamic_pointer_cast<ZTSignUpViewController>(pages->pages()[1]));
  // Neither page is a child: the collection only holds their views.
  EXPECT_EQ(pages->pages()[0]->parent(), nullptr);
  EXPECT_EQ(pages->pages()[1]->parent(), nullptr);
  EXPECT_TRUE(loginTabSelected());
  EXPECT_TRUE(shown("goToEnterEmailButton")) << "a device with Face ID is offered it first";
  EXPECT_FALSE(shown("emailTextView"));
}

TEST_F(EntrancePagesTest, TabsAndSwipesMoveBetweenThePagesAndTakeTheKeyboardAway) {
  Device::setBiometry(LABiometryType::none);  // the login page opens on its e-mail field
  openEntrance();
  auto collection = pages->collectionView();
  const double width = collection->frame().size.width;
  ASSERT_GT(width, 0);

  struct Row {
    const char* step;
    std::function<bool()> act;
    bool onLogin;
  };
  const std::vector<Row> rows{
      {"sign-up tab", [&] { return ui->tap(ui->find("signUpLabelTab")); }, false},
      {"swipe to login",
       [&] {
         return ui->drag(collection, {0, 0});
       },
       true},
      {"swipe to sign-up",
       [&] {
         return ui->drag(collection, {width, 0});
       },
       false},
      {"short swipe springs back",
       [&] {
         return ui->drag(collection, {width * 0.8, 0});
       },
       false},
      {"login tab", [&] { return ui->tap(ui->find("loginLabelTab")); }, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.step);
    // The user is typing on the page in view when it moves away.
    const char* fieldName = loginTabSelected() ? "emailTextField" : "emailTextView";
    auto field = shown<ZTTextFieldView>(fieldName);
    ASSERT_TRUE(field);
    ASSERT_TRUE(ui->type("a", field));
    ASSERT_TRUE(ui->isKeyboardVisible());

    ASSERT_TRUE(row.act());
    ui->advance(1);
    ui->settle();
    EXPECT_EQ(collection->contentOffset().x, row.onLogin ? 0 : width);
    EXPECT_EQ(loginTabSelected(), row.onLogin);
    EXPECT_EQ(shown("emailTextField") != nullptr, row.onLogin);
    EXPECT_EQ(shown("emailTextView") != nullptr, !row.onLogin);
    EXPECT_FALSE(ui->isKeyboardVisible());
  }
}

TEST_F(EntrancePagesTest, ALoginClosesTheEntranceThenAnnouncesTheSignInOnce) {
  openEntrance();
  entrancetest::SignInAnnouncements signIns(*ui);

  ASSERT_TRUE(ui->tap(shown("goToEnterEmailButton")));
  ASSERT_TRUE(ui->type(kUser, shown("emailTextField")));
  ASSERT_TRUE(ui->tap(shown("continueButton")));
  ASSERT_TRUE(ui->runUntil([&] { return sb().lastCode(kUser).has_value(); }));
  ASSERT_TRUE(ui->runUntil([&] { return !ui->isLoaderShowing(); }));
  ASSERT_TRUE(ui->type("password1\n", shown("passwordTextField")));
  ASSERT_TRUE(ui->type(*sb().lastCode(kUser), shown<ZTSixDigitsCodeEnterView>("codeEnterView")));
  ASSERT_TRUE(ui->tap(shown("continueButton")));
  ASSERT_TRUE(waitForAnswer());

  EXPECT_EQ(*answers, std::vector<bool>{true});
  EXPECT_EQ(signIns.count, 1);
  EXPECT_TRUE(signIns.closedWhenHeard);
  EXPECT_FALSE(ui->root()->presentedViewController());
  EXPECT_FALSE(ui->alertTitle());
  EXPECT_NE(ZTTokenUtilites::shared()->getToken(), "");
  EXPECT_EQ(sb().count("auth.token"), 1u);
  ui->advance(1);
  ui->settle();
  EXPECT_EQ(signIns.count, 1);
  EXPECT_EQ(answers->size(), 1u);
}

}  // namespace
