#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Testing/UI.hpp"
#include "UIKit/InterfaceBinder.hpp"
#include "UIKit/NSLayoutConstraint.hpp"
#include "UIKit/UIButton.hpp"
#include "UIKit/UIStoryboard.hpp"
#include "UIKit/UIViewController.hpp"
#include "UIKitTestSupport.hpp"

using namespace UIKit;
using PlatformTesting::UI;

namespace {

class SignUpScreen : public UIViewController {
 public:
  using UIViewController::UIViewController;
  void bindInterface(InterfaceBinder& binder) override {
    binder.outlet("continueButton", continueButton);
    binder.outlet("continueToEmailConstraint", continueToEmail);
    binder.outlet("buttonHeight", buttonHeight);
    binder.outlet("missingConstraint", missing);
  }
  std::weak_ptr<UIButton> continueButton;
  std::shared_ptr<NSLayoutConstraint> continueToEmail;
  std::shared_ptr<NSLayoutConstraint> buttonHeight;
  std::shared_ptr<NSLayoutConstraint> missing;
};
const bool registered = UIStoryboard::registerViewControllerClass<SignUpScreen>("TestSignUpScreen");

constexpr const char* kSignUpFile = R"({"objects": [
  {"class": "UIView", "outlet": "view", "frame": [0, 0, 375, 812], "subviews": [
    {"class": "UIView", "outlet": "email", "frame": [24, 300, 327, 56]},
    {"class": "UIButton", "outlet": "continueButton", "frame": [24, 700, 327, 48],
     "title": "Continue"}]}],
  "constraints": [
    {"outlet": "continueToEmailConstraint", "firstItem": "continueButton",
     "firstAttribute": "top", "secondItem": "email", "secondAttribute": "bottom",
     "constant": 32},
    {"outlet": "buttonHeight", "firstItem": "continueButton", "firstAttribute": "height",
     "multiplier": 0.5, "constant": 48, "active": false},
    {"firstItem": "nowhere", "firstAttribute": "sideways"}]})";

}  // namespace

TEST(LayoutValues, ConstraintOutletsFromAFileKeepTheirValuesAndItems) {
  PlatformTesting::ManualClock::install();
  uikittest::TestBundle files;
  files.write("SignUp.json", kSignUpFile);
  auto screen = std::make_shared<SignUpScreen>("SignUp", files.bundle());
  UI ui(screen);
  ASSERT_TRUE(screen->continueToEmail && screen->buttonHeight);
  EXPECT_EQ(screen->missing, nullptr);  // reported, left as it was

  struct Case {
    std::shared_ptr<NSLayoutConstraint> constraint;
    bool active;
    CGFloat constant, multiplier;
  };
  const Case cases[] = {{screen->continueToEmail, true, 32, 1},
                        {screen->buttonHeight, false, 48, 0.5}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.constraint->isActive(), c.active);
    EXPECT_EQ(c.constraint->constant(), c.constant);
    EXPECT_EQ(c.constraint->multiplier(), c.multiplier);
    EXPECT_EQ(c.constraint->firstItem(), screen->continueButton.lock());
  }
  EXPECT_EQ(screen->continueToEmail->secondItem(), ui.find("email"));
}

TEST(Storyboards, ControllersComeFromTheBundlesStoryboardByIdentifier) {
  PlatformTesting::ManualClock::install();
  uikittest::TestBundle files;
  files.write("SignUp.json", kSignUpFile);
  files.write("Main.storyboard", R"({"initialViewController": "signUp", "scenes": [
    {"identifier": "signUp", "class": "TestSignUpScreen", "nibName": "SignUp"},
    {"identifier": "plain"},
    {"identifier": "broken", "class": "NoSuchController"}]})");
  const UIStoryboard board("Main", files.bundle());

  struct Case {
    const char* identifier;
    bool made;
  };
  const Case cases[] = {{"signUp", true}, {"plain", true}, {"broken", false}, {"other", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(board.instantiateViewController(c.identifier) != nullptr, c.made) << c.identifier;
  }
  auto first = std::dynamic_pointer_cast<SignUpScreen>(board.instantiateInitialViewController());
  ASSERT_TRUE(first);
  UI ui(first);
  EXPECT_TRUE(ui.findText("Continue"));
  EXPECT_EQ(UIStoryboard("Missing", files.bundle()).instantiateInitialViewController(), nullptr);
}
