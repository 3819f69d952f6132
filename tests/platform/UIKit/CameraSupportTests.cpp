#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "QuartzCore/CABasicAnimation.hpp"
#include "QuartzCore/CATransaction.hpp"
#include "Testing/CaptureRig.hpp"
#include "Testing/UI.hpp"
#include "UIKit/UIPinchGestureRecognizer.hpp"
#include "UIKit/UITapGestureRecognizer.hpp"
#include "UIKit/UIViewController.hpp"
#include "UIKit/UIWindow.hpp"
#include "UIKitTestSupport.hpp"
#include "support/LateCallbacks.hpp"

using namespace UIKit;
using PlatformTesting::CaptureRig;

namespace {

class CameraSupport : public uikittest::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    CaptureRig::reset();
  }
  void TearDown() override {
    CaptureRig::reset();
    ClockTest::TearDown();
  }
};

struct Answer : UIGestureRecognizerDelegate {
  bool begin = true;
  int asked = 0;
  bool gestureRecognizerShouldBegin(UIGestureRecognizer&) override {
    ++asked;
    return begin;
  }
};

TEST_F(CameraSupport, TheDelegateDecidesWhetherAGestureBegins) {
  for (bool begin : {true, false}) {
    PlatformTesting::UI ui;
    auto card = std::make_shared<UIView>(CGRect::make(0, 0, 300, 300));
    ui.root()->view()->addSubview(card);
    auto counter = std::make_shared<uikittest::Counter>();
    auto answer = std::make_shared<Answer>();
    answer->begin = begin;
    auto tap = std::make_shared<UITapGestureRecognizer>();
    tap->addTarget(counter, &uikittest::Counter::hit);
    tap->setDelegate(answer);
    card->addGestureRecognizer(tap);
    ui.tapAt({100, 100});
    EXPECT_EQ(answer->asked, 1);
    EXPECT_EQ(counter->count, begin ? 1 : 0);
  }
}

TEST_F(CameraSupport, AddingTheSameTargetAndActionTwiceKeepsOne) {
  auto counter = std::make_shared<uikittest::Counter>();
  auto other = std::make_shared<uikittest::Counter>();
  UIPinchGestureRecognizer pinch;
  pinch.addTarget(counter, &uikittest::Counter::hit);
  pinch.addTarget(counter, &uikittest::Counter::hit);
  pinch.addTarget(other, &uikittest::Counter::hit);
  EXPECT_EQ(pinch.numberOfTargets(), 2u);
}

TEST_F(CameraSupport, ATransitionCompletesWhenItsDurationHasPassed) {
  auto view = std::make_shared<UIView>(CGRect::make(0, 0, 10, 10));
  auto finished = std::make_shared<std::optional<bool>>();
  UIView::transition(view, 0.5, UIView::AnimationOptions::transitionFlipFromLeft, nullptr,
                     [finished](bool done) { *finished = done; });
  advance(0.4);
  EXPECT_FALSE(*finished);
  advance(0.2);
  EXPECT_EQ(*finished, true);
}

TEST_F(CameraSupport, ATransactionGivesItsTimingAndCompletesAfterItsLastAnimation) {
  auto layer = std::make_shared<QuartzCore::CALayer>();
  auto completed = zttest::flag();
  QuartzCore::CATransaction::begin();
  QuartzCore::CATransaction::setAnimationDuration(0.2);
  QuartzCore::CATransaction::setCompletionBlock(zttest::raise(completed));
  auto fade = std::make_shared<QuartzCore::CABasicAnimation>("opacity");
  fade->fromValue = CGFloat(1);
  fade->toValue = CGFloat(0);
  fade->beginTime = QuartzCore::CACurrentMediaTime() + 0.8;
  fade->fillMode = QuartzCore::CAMediaTimingFillMode::forwards;
  fade->isRemovedOnCompletion = false;
  layer->add(fade, "opacity");
  QuartzCore::CATransaction::commit();
  EXPECT_DOUBLE_EQ(layer->animation("opacity")->duration, 0.2);
  // Fully visible until it begins, then fading, then held at its end.
  advance(0.5);
  EXPECT_EQ(layer->presentationValue("opacity"), QuartzCore::CAValue(CGFloat(1)));
  advance(0.4);
  EXPECT_FALSE(*completed);
  advance(0.11);
  EXPECT_TRUE(*completed);
  EXPECT_EQ(layer->presentationValue("opacity"), QuartzCore::CAValue(CGFloat(0)));
}

TEST_F(CameraSupport, ATransactionWithoutAnimationsCompletesOnALaterTurn) {
  auto completed = zttest::flag();
  QuartzCore::CATransaction::begin();
  QuartzCore::CATransaction::setCompletionBlock(zttest::raise(completed));
  QuartzCore::CATransaction::commit();
  EXPECT_FALSE(*completed);
  advance(0.01);
  EXPECT_TRUE(*completed);
}

TEST_F(CameraSupport, LayersConvertPointsWithinTheirTree) {
  auto root = std::make_shared<QuartzCore::CALayer>();
  root->setFrame(CGRect::make(0, 0, 400, 400));
  auto child = std::make_shared<QuartzCore::CALayer>();
  child->setFrame(CGRect::make(50, 100, 200, 200));
  root->addSublayer(child);
  EXPECT_EQ(child->convertPointFrom({60, 110}, root.get()), (CGPoint{10, 10}));
  EXPECT_EQ(child->convertPointTo({10, 10}, root.get()), (CGPoint{60, 110}));
  EXPECT_TRUE(child->contains({10, 10}));
  EXPECT_FALSE(child->contains({210, 10}));
}

}  // namespace
