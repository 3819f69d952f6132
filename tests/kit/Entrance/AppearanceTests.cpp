// How the entrance looks while it is in front: forced light, with light status-bar content,
// and the tabs' underline sliding rather than jumping.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <QuartzCore/CABasicAnimation.hpp>
#include <Testing/ManualClock.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UIView.hpp>

#include "ZTAccounts.hpp"
#include "ZTAuth/Entrance/ZTCollectionViewController.hpp"
#include "ZTAuth/Entrance/ZTEntranceViewController.hpp"
#include "ZTAuth/SignUp/ZTSignUpViewController.hpp"

using namespace ZentrelSDK;
using UIKit::UIUserInterfaceStyle;

namespace {

class EntranceAppearance : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { PlatformTesting::ManualClock::install(); }
  void SetUp() override {
    animationsWere_ = UIKit::UIView::areAnimationsEnabled();
    UIKit::UIView::setAnimationsEnabled(false);
    ASSERT_TRUE(ZTAccounts::auth());
    ui.settle();
    entrance = std::dynamic_pointer_cast<ZTEntranceViewController>(ui.frontmost());
    ASSERT_TRUE(entrance);
  }
  void TearDown() override {
    UIKit::UIView::setAnimationsEnabled(false);
    ui.root()->dismiss(false);
    ui.advance(1);
    ui.settle();
    UIKit::UIView::setAnimationsEnabled(animationsWere_);
  }

  PlatformTesting::UI ui;
  std::shared_ptr<ZTEntranceViewController> entrance;

 private:
  bool animationsWere_ = true;
};

TEST_F(EntranceAppearance, TheEntranceItsCollectionAndItsPagesAreLight) {
  EXPECT_EQ(entrance->preferredStatusBarStyle(), UIKit::UIStatusBarStyle::lightContent);
  std::shared_ptr<ZTCollectionViewController> collection;
  for (const auto& child : entrance->children()) {
    if (auto c = std::dynamic_pointer_cast<ZTCollectionViewController>(child)) collection = c;
  }
  ASSERT_TRUE(collection);
  std::vector<std::shared_ptr<UIKit::UIViewController>> shown{entrance, collection};
  bool signUpShown = false;
  for (const auto& page : collection->pages()) {
    signUpShown = signUpShown || std::dynamic_pointer_cast<ZTSignUpViewController>(page);
    shown.push_back(page);
  }
  EXPECT_TRUE(signUpShown);
  for (const auto& controller : shown) {
    EXPECT_TRUE(controller->isViewLoaded()) << controller->description();
    EXPECT_EQ(controller->overrideUserInterfaceStyle(), UIUserInterfaceStyle::light)
        << controller->description();
  }
}

TEST_F(EntranceAppearance, TheUnderlineSlidesToTheTappedTab) {
  auto line = ui.find("swipableLineView");
  ASSERT_TRUE(line);
  UIKit::UIView::setAnimationsEnabled(true);
  ASSERT_TRUE(ui.tap(ui.find<UIKit::UILabel>("signUpLabelTab")));
  const auto end = line->layer()->transform;
  ASSERT_NE(end, QuartzCore::CATransform3DIdentity);

  auto shown = [&] {
    return std::get<QuartzCore::CATransform3D>(*line->layer()->presentationValue("transform"));
  };
  EXPECT_NEAR(shown().m41, 0, 1e-9) << "from where it was";
  EXPECT_NEAR(shown().m11, 1, 1e-9);
  ui.advance(0.15);
  const auto midway = shown();
  EXPECT_GT(midway.m41, std::min(0.0, end.m41));
  EXPECT_LT(midway.m41, std::max(0.0, end.m41));
  ui.advance(0.15);
  ui.settle();
  EXPECT_EQ(shown(), end);
}

}  // namespace
