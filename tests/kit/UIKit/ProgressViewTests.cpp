#include <gtest/gtest.h>

#include <memory>
#include <numbers>

#include <QuartzCore/CAGradientLayer.hpp>
#include <UIKit/UIView.hpp>

#include "ZTUIComponents/ZTProgressView.hpp"
#include "ZTUtilites/ZTUIConstants.hpp"
#include "platform/UIKit/UIKitTestSupport.hpp"
#include "support/LateCallbacks.hpp"

using namespace UIKit;
using QuartzCore::CAGradientLayer;
using QuartzCore::CGPath;
using ZentrelSDK::ZTProgressView;
using ZentrelSDK::ZTUIConstants;

namespace {

constexpr double pi = std::numbers::pi;

class ProgressRing : public uikittest::ClockTest {
 protected:
  std::shared_ptr<ZTProgressView> ring(CGRect frame, CGFloat lineWidth, CGFloat start) {
    return std::make_shared<ZTProgressView>(frame, *host, ZTUIConstants::MAIN_COLOR(),
                                            UIColor::white(), lineWidth, start);
  }
  double shown(const ZTProgressView& view) {
    return std::get<CGFloat>(*view.circleShapeLayer->presentationValue("strokeEnd"));
  }
  std::function<void()> counting(std::shared_ptr<int> counter) {
    return zttest::countUp(std::move(counter));
  }

  std::shared_ptr<UIView> host = std::make_shared<UIView>(CGRect::make(0, 0, 300, 300));
};

}  // namespace

TEST_F(ProgressRing, IsAGradientMaskedByACircleFromTwelveOClockClockwise) {
  auto progress = ring(CGRect::make(10, 20, 100, 100), 10, 0.25);
  ASSERT_EQ(host->layer()->sublayers().size(), 1u);
  auto gradient = std::dynamic_pointer_cast<CAGradientLayer>(host->layer()->sublayers().back());
  ASSERT_NE(gradient, nullptr);
  const auto& circle = progress->circleShapeLayer;
  ASSERT_NE(circle, nullptr);
  EXPECT_EQ(gradient->mask(), circle);
  EXPECT_EQ(circle->strokeEnd, 0.25);

  ASSERT_TRUE(circle->path.has_value());
  const auto& elements = circle->path->elements();
  ASSERT_EQ(elements.size(), 2u);
  EXPECT_EQ(elements[0].type, CGPath::ElementType::moveToPoint);
  EXPECT_NEAR(elements[0].point.x, 50, 1e-9);  // the top of the circle
  EXPECT_NEAR(elements[0].point.y, 5, 1e-9);
  const auto& arc = elements[1].arc;
  EXPECT_EQ(arc.center, (CGPoint{50, 50}));
  EXPECT_EQ(arc.radius, 45);
  EXPECT_DOUBLE_EQ(arc.startAngle, 3 * pi / 2);
  EXPECT_DOUBLE_EQ(arc.endAngle, 7 * pi / 2);
  EXPECT_FALSE(arc.clockwise);  // Core Graphics' sense: clockwise on the y-down screen
}

TEST_F(ProgressRing, AnAnimationMovesTheStrokeEndAndTheRingKeepsItsEnd) {
  auto progress = ring(CGRect::make(0, 0, 100, 100), 4, 0);
  auto done = zttest::counter();
  progress->animation(0, 0.8, 2, counting(done));
  EXPECT_EQ(progress->currenProgress, 0.8);
  advance(1);
  EXPECT_NEAR(shown(*progress), 0.4, 1e-9);  // linear
  EXPECT_EQ(*done, 0);
  advance(1);
  EXPECT_EQ(*done, 1);
  advance(10);
  EXPECT_EQ(*done, 1);
  EXPECT_DOUBLE_EQ(shown(*progress), 0.8);
  EXPECT_EQ(progress->circleShapeLayer->strokeEnd, 0);  // the model is untouched

  progress->animation(0.8, 0.3, 1);  // shrinking; no completion clears the earlier one
  advance(0.5);
  EXPECT_NEAR(shown(*progress), 0.55, 1e-9);
  advance(0.5);
  EXPECT_DOUBLE_EQ(shown(*progress), 0.3);
  EXPECT_EQ(*done, 1);
}

TEST_F(ProgressRing, TwoOverlappingAnimationsRunTheLaterCompletionTwice) {
  auto progress = ring(CGRect::make(0, 0, 100, 100), 4, 0);
  auto first = zttest::counter();
  auto second = zttest::counter();
  progress->animation(0, 0.5, 1, counting(first));
  progress->animation(0, 1, 1.5, counting(second));
  EXPECT_EQ(progress->circleShapeLayer->allAnimations().size(), 2u);
  advance(1);
  EXPECT_EQ(*second, 1);
  advance(0.5);
  EXPECT_EQ(*second, 2);
  EXPECT_EQ(*first, 0);
}

TEST_F(ProgressRing, RemovalTakesEveryRingAndNothingElse) {
  auto one = ring(CGRect::make(0, 0, 100, 100), 4, 0);
  auto two = ring(CGRect::make(100, 0, 100, 100), 4, 0);
  auto other = std::make_shared<QuartzCore::CALayer>();
  host->layer()->addSublayer(other);
  ASSERT_EQ(host->layer()->sublayers().size(), 3u);
  one->remove(*host);
  ASSERT_EQ(host->layer()->sublayers().size(), 1u);
  EXPECT_EQ(host->layer()->sublayers().front(), other);
  EXPECT_NE(one->circleShapeLayer, nullptr);  // the ring object itself is unchanged

  UIView bare(CGRect::make(0, 0, 10, 10));
  one->remove(bare);  // no sublayers at all: nothing to remove
  EXPECT_TRUE(bare.layer()->sublayers().empty());
}
