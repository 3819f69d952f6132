#include <gtest/gtest.h>

#include <memory>

#include <QuartzCore/CAGradientLayer.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTUIComponents/ZTWhiteToClearGradientView.hpp"
#include "platform/UIKit/UIKitTestSupport.hpp"

using namespace UIKit;
using PlatformTesting::UI;
using ZentrelSDK::ZTWhiteToClearGradientView;

namespace {

// How much of the view shows at a height (0 top, 1 bottom), read from its mask: the point's
// place along the gradient axis, then the colours' alpha between the stops around it.
double shownAt(const QuartzCore::CAGradientLayer& mask, double y) {
  const double axis = mask.endPoint.y - mask.startPoint.y;
  const double t = (y - mask.startPoint.y) / axis;
  const auto& stops = *mask.locations;
  if (t <= stops.front()) return mask.colors.front().alpha;
  for (std::size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i]) {
      const double p = (t - stops[i - 1]) / (stops[i] - stops[i - 1]);
      return mask.colors[i - 1].alpha + (mask.colors[i].alpha - mask.colors[i - 1].alpha) * p;
    }
  }
  return mask.colors.back().alpha;
}

class GradientMask : public uikittest::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    ui = std::make_unique<UI>();
  }
  void TearDown() override {
    ui.reset();
    ClockTest::TearDown();
  }
  std::shared_ptr<QuartzCore::CAGradientLayer> mask() const {
    return std::dynamic_pointer_cast<QuartzCore::CAGradientLayer>(view->layer()->mask());
  }
  void show() {
    ui->root()->view()->addSubview(view);
    ui->settle();
  }

  std::unique_ptr<UI> ui;
  std::shared_ptr<ZTWhiteToClearGradientView> view =
      std::make_shared<ZTWhiteToClearGradientView>(CGRect::make(10, 20, 300, 200));
};

}  // namespace

TEST_F(GradientMask, ByDefaultItIsOpaqueAtTheTopAndClearFromSixtyPercentDown) {
  EXPECT_EQ(view->layer()->mask(), nullptr);  // nothing is drawn off screen
  show();
  auto gradient = mask();
  ASSERT_NE(gradient, nullptr);
  EXPECT_EQ(gradient->frame(), view->bounds());
  EXPECT_DOUBLE_EQ(shownAt(*gradient, 0.0), 1.0);
  EXPECT_NEAR(shownAt(*gradient, 0.12), 1.0, 1e-9);
  EXPECT_NEAR(shownAt(*gradient, 0.36), 0.5, 1e-9);
  EXPECT_NEAR(shownAt(*gradient, 0.6), 0.0, 1e-9);
  EXPECT_DOUBLE_EQ(shownAt(*gradient, 0.9), 0.0);
  // Only the transparency of the colour matters; it is white.
  for (const auto& colour : gradient->colors) {
    EXPECT_EQ(colour.copyWithAlpha(1), (CGColor{1, 1, 1, 1}));
  }
}

TEST_F(GradientMask, EachDrawReplacesTheMaskAndNothingChangesWithoutOne) {
  show();
  auto first = mask();
  view->directionFromTopToBottom = false;
  view->setFrame(CGRect::make(0, 0, 100, 50));
  ui->settle();
  EXPECT_EQ(mask(), first);  // the view never marks itself
  EXPECT_NEAR(shownAt(*first, 0.0), 1.0, 1e-9);
  view->setNeedsDisplay();
  ui->settle();
  auto second = mask();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(second->frame(), view->bounds());
  EXPECT_NEAR(shownAt(*second, 1.0), 1.0, 1e-9);
  EXPECT_TRUE(view->layer()->sublayers().empty());
  EXPECT_EQ(first->superlayer(), nullptr);
}
