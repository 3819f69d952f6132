#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Testing/UI.hpp"
#include "UIKit/InterfaceBinder.hpp"
#include "UIKit/InterfaceCoder.hpp"
#include "UIKit/InterfaceRegistry.hpp"
#include "UIKit/UIImageView.hpp"
#include "UIKit/UILabel.hpp"
#include "UIKit/UINib.hpp"
#include "UIKit/UIScreen.hpp"
#include "UIKit/UITextField.hpp"
#include "UIKit/UIViewController.hpp"
#include "UIKitTestSupport.hpp"

using namespace UIKit;
using PlatformTesting::UI;

namespace {

// A view class of the test's own, with a property of its own.
class BadgeView : public UIView {
 public:
  using UIView::UIView;
  void decodeInterface(InterfaceCoder& coder) override {
    UIView::decodeInterface(coder);
    if (auto value = coder.decodeNumber("badge")) badge = static_cast<int>(*value);
  }
  int badge = 0;
};

// A view that loads an interface file of its own when it is made.
class NestedView : public UIView {
 public:
  static inline std::shared_ptr<Foundation::Bundle> bundle;
  explicit NestedView(CGRect frame) : UIView(frame) {
    for (auto& view : UINib("NestedContent", bundle).instantiate(this)) addSubview(view);
  }
  void bindInterface(InterfaceBinder& binder) override { binder.outlet("inner", inner); }
  std::weak_ptr<UILabel> inner;
};

const bool registered = InterfaceRegistry::registerViewClass<BadgeView>("TestBadgeView") &&
                        InterfaceRegistry::registerViewClass<NestedView>("TestNestedView");

class LoginLikeScreen : public UIViewController {
 public:
  using UIViewController::UIViewController;
  void bindInterface(InterfaceBinder& binder) override {
    binder.outlet("titleLabel", titleLabel);
    binder.outlet("emailField", emailField);
    binder.outlet("badge", badge);
    binder.outlet("nested", nested);
    binder.outletCollection("dots", dots);
    binder.action("emailChanged:", [this](UIControl&) { ++changes; });
  }
  void viewDidLoad() override { titleSeenAtLoad = titleLabel.lock() != nullptr; }

  std::weak_ptr<UILabel> titleLabel;
  std::weak_ptr<UITextField> emailField;
  std::weak_ptr<BadgeView> badge;
  std::weak_ptr<NestedView> nested;
  std::vector<std::weak_ptr<UIView>> dots;
  int changes = 0;
  bool titleSeenAtLoad = false;
};

const char* kScreen = R"({
  "owner": "LoginLikeScreen",
  "objects": [
    { "class": "UIView", "outlet": "view", "frame": [0, 0, 375, 812], "backgroundColor": "#FFFFFF",
      "subviews": [
        { "class": "UILabel", "outlet": "titleLabel", "frame": [24, 80, 327, 40], "text": "Welcome",
          "font": { "size": 32, "weight": "bold" }, "textColor": "#11161A", "numberOfLines": 2 },
        { "class": "UITextField", "outlet": "emailField", "frame": [24, 300, 327, 56],
          "placeholder": "Email", "keyboardType": 7,
          "actions": [ { "event": "editingChanged", "selector": "emailChanged:" } ] },
        { "class": "TestBadgeView", "outlet": "badge", "frame": [300, 20, 20, 20], "badge": 3,
          "autoresizingMask": ["flexibleLeftMargin"] },
        { "class": "TestNestedView", "outlet": "nested", "frame": [0, 400, 375, 40] },
        { "class": "UIView", "outletCollection": "dots", "frame": [10, 500, 5, 5] },
        { "class": "UIView", "outletCollection": "dots", "frame": [20, 500, 5, 5] }
      ] }
  ]
})";

const char* kNested = R"({
  "objects": [ { "class": "UILabel", "outlet": "inner", "text": "Inside", "frame": [0, 0, 100, 20] } ]
})";

class InterfaceFiles : public uikittest::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    ASSERT_TRUE(registered);
    files.write("LoginLikeScreen.json", kScreen);
    files.write("NestedContent.json", kNested);
    NestedView::bundle = files.bundle();
  }
  void TearDown() override {
    NestedView::bundle.reset();
    ClockTest::TearDown();
  }
  std::string load(const std::string& name, const std::string& json) {
    files.write(name + ".json", json);
    testing::internal::CaptureStderr();
    UINib(name, files.bundle()).instantiate(nullptr);
    return testing::internal::GetCapturedStderr();
  }

  uikittest::TestBundle files;
};

}  // namespace

TEST_F(InterfaceFiles, ActionsAreSentOnlyWhileTheOwnerLives) {
  auto screen = std::make_shared<LoginLikeScreen>("LoginLikeScreen", files.bundle());
  auto field = screen->view(), keep = field;
  auto email = screen->emailField.lock();
  email->sendActions(UIControl::Event::editingChanged);
  EXPECT_EQ(screen->changes, 1);
  screen.reset();
  email->sendActions(UIControl::Event::editingChanged);  // no owner: nothing, no crash
  EXPECT_EQ(email->actionCount(UIControl::Event::editingChanged), 0u);
}

TEST_F(InterfaceFiles, AMissingFileLeavesAnEmptyUsableScreen) {
  auto screen = std::make_shared<LoginLikeScreen>("NoSuchScreen", files.bundle());
  testing::internal::CaptureStderr();
  auto view = screen->view();
  const std::string log = testing::internal::GetCapturedStderr();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->bounds(), UIScreen::main().bounds());
  EXPECT_TRUE(view->subviews().empty());
  EXPECT_EQ(screen->titleLabel.lock(), nullptr);
  EXPECT_NE(log.find("\"NoSuchScreen\""), std::string::npos);
  UI ui(screen);
  EXPECT_EQ(ui.frontmost(), screen);
}

TEST_F(InterfaceFiles, MissingOrMistypedOutletsAndUnknownActionsAreReportedByName) {
  files.write("Mismatched.json", R"({"objects": [ { "class": "UIView", "outlet": "view",
      "subviews": [
        { "class": "UIView", "outlet": "titleLabel" },
        { "class": "UITextField", "outlet": "emailField",
          "actions": [ { "event": "editingChanged", "selector": "noSuchAction:" } ] },
        { "class": "UIView", "outlet": "extra" } ] } ]})");
  auto screen = std::make_shared<LoginLikeScreen>("Mismatched", files.bundle());
  testing::internal::CaptureStderr();
  screen->view();
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(screen->titleLabel.lock(), nullptr);  // a UIView is no UILabel
  EXPECT_NE(screen->emailField.lock(), nullptr);
  EXPECT_EQ(screen->badge.lock(), nullptr);
  for (const char* expected : {"\"Mismatched\": outlet \"titleLabel\" is a UIView",
                               "\"Mismatched\": no outlet named \"badge\"",
                               "\"Mismatched\": no outlet collection named \"dots\"",
                               "\"Mismatched\": the owner has no action \"noSuchAction:\"",
                               "\"Mismatched\": its owner has no outlet \"extra\""}) {
    EXPECT_NE(log.find(expected), std::string::npos) << expected << "\nin:\n" << log;
  }
}
