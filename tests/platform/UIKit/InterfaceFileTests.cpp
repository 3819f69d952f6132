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

TEST_F(InterfaceFiles, AScreensFileBuildsItsViewsAndConnectsItsOwner) {
  auto screen = std::make_shared<LoginLikeScreen>("LoginLikeScreen", files.bundle());
  testing::internal::CaptureStderr();
  auto view = screen->view();
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(log, "");
  EXPECT_TRUE(screen->titleSeenAtLoad);

  auto title = screen->titleLabel.lock();
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->superview(), view);
  EXPECT_EQ(title->text(), "Welcome");
  EXPECT_EQ(title->font(), UIFont::systemFont(32, UIFont::Weight::bold));
  EXPECT_EQ(title->frame(), CGRect::make(24, 80, 327, 40));
  EXPECT_EQ(view->backgroundColor(), UIColor::white());
  auto field = screen->emailField.lock();
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(field->keyboardType(), UIKeyboardType::emailAddress);
  EXPECT_EQ(field->placeholder(), "Email");
  ASSERT_NE(screen->badge.lock(), nullptr);
  EXPECT_EQ(screen->badge.lock()->badge, 3);
  ASSERT_NE(screen->nested.lock(), nullptr);
  ASSERT_NE(screen->nested.lock()->inner.lock(), nullptr);
  EXPECT_EQ(screen->nested.lock()->inner.lock()->text(), "Inside");
  ASSERT_EQ(screen->dots.size(), 2u);
  EXPECT_EQ(screen->dots[1].lock()->frame().origin.x, 20);

  // The driver finds views by their outlet names and types into them as a user would.
  UI ui(screen);
  EXPECT_EQ(ui.find<UITextField>("emailField"), field);
  EXPECT_EQ(ui.find<UILabel>("emailField"), nullptr);
  EXPECT_EQ(ui.findText("Inside"), screen->nested.lock()->inner.lock());
  ASSERT_TRUE(ui.type("ab", ui.find("emailField")));
  EXPECT_EQ(screen->changes, 2);
}

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

TEST_F(InterfaceFiles, BadContentIsReportedAndSkipped) {
  EXPECT_NE(load("NotJSON", "{ this is not json").find("\"NotJSON\" is not valid"),
            std::string::npos);
  EXPECT_NE(load("NoObjects", R"({"views": []})").find("\"NoObjects\" is not valid"),
            std::string::npos);

  files.write("Odd.json", R"({"objects": [
      { "class": "NoSuchView", "frame": [0, 0, 10, 10] },
      { "class": "UILabel", "frame": "wide", "text": 12, "alpha": 0.5, "colour": "#FFF" } ]})");
  testing::internal::CaptureStderr();
  auto objects = UINib("Odd", files.bundle()).instantiate(nullptr);
  const std::string log = testing::internal::GetCapturedStderr();
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0]->className(), "UIView");
  EXPECT_EQ(objects[0]->frame(), CGRect::make(0, 0, 10, 10));
  auto label = std::dynamic_pointer_cast<UILabel>(objects[1]);
  ASSERT_NE(label, nullptr);
  EXPECT_FALSE(label->text().has_value());
  EXPECT_EQ(label->alpha(), 0.5);
  for (const char* expected :
       {"unknown class \"NoSuchView\"", "\"frame\": expected [x, y, width, height]",
        "\"text\": expected a text", "\"colour\": unknown property"}) {
    EXPECT_NE(log.find(expected), std::string::npos) << expected << "\nin:\n" << log;
  }
}

TEST_F(InterfaceFiles, ImagesComeFromTheFilesBundle) {
  files.write("dot.png", uikittest::pngHeader(8, 8));
  files.write("Pictures.json", R"({"objects": [
      { "class": "UIImageView", "image": "dot" },
      { "class": "UIImageView", "image": "nowhere" } ]})");
  testing::internal::CaptureStderr();
  auto objects = UINib("Pictures", files.bundle()).instantiate(nullptr);
  const std::string log = testing::internal::GetCapturedStderr();
  ASSERT_EQ(objects.size(), 2u);
  auto found = std::dynamic_pointer_cast<UIImageView>(objects[0]);
  ASSERT_NE(found->image(), nullptr);
  EXPECT_EQ(found->image()->size(), (CGSize{8, 8}));
  EXPECT_EQ(std::dynamic_pointer_cast<UIImageView>(objects[1])->image(), nullptr);
  EXPECT_NE(log.find("no image named \"nowhere\""), std::string::npos);
}
