#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "QuartzCore/CABasicAnimation.hpp"
#include "Testing/UI.hpp"
#include "UIKit/UIViewController.hpp"
#include "UIKit/UIViewControllerTransitioning.hpp"
#include "UIKitTestSupport.hpp"

using namespace UIKit;

namespace {

// Keeps the context so the test decides when the transition ends.
class HeldAnimator : public UIViewControllerAnimatedTransitioning {
 public:
  std::shared_ptr<UIViewControllerContextTransitioning> context;
  std::vector<bool> ended;
  Foundation::TimeInterval transitionDuration(
      const std::shared_ptr<UIViewControllerContextTransitioning>&) override {
    return 1;
  }
  void animateTransition(const std::shared_ptr<UIViewControllerContextTransitioning>& c) override {
    context = c;
  }
  void animationEnded(bool completed) override { ended.push_back(completed); }
};

class Animating : public UIViewControllerTransitioningDelegate {
 public:
  std::shared_ptr<HeldAnimator> animator = std::make_shared<HeldAnimator>();
  std::shared_ptr<UIViewControllerAnimatedTransitioning> animationControllerForPresented(
      const std::shared_ptr<UIViewController>&, const std::shared_ptr<UIViewController>&,
      const std::shared_ptr<UIViewController>&) override {
    return animator;
  }
  std::shared_ptr<UIViewControllerAnimatedTransitioning> animationControllerForDismissed(
      const std::shared_ptr<UIViewController>&) override {
    return animator;
  }
};

class CustomTransition : public uikittest::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    presented->setModalPresentationStyle(UIModalPresentationStyle::custom);
    presented->setTransitioningDelegate(delegate);
  }
  std::shared_ptr<Animating> delegate = std::make_shared<Animating>();
  std::shared_ptr<UIViewController> presented = std::make_shared<UIViewController>();
};

}  // namespace

TEST_F(CustomTransition, AnUndonePresentationLeavesNothingPresented) {
  ui->root()->present(presented, true);
  delegate->animator->context->completeTransition(false);
  ui->settle();
  EXPECT_EQ(ui->root()->presentedViewController(), nullptr);
  EXPECT_EQ(presented->presentingViewController(), nullptr);
  EXPECT_EQ(ui->frontmost(), ui->root());
}

class ViewAnimation : public uikittest::ClockTest {};

TEST_F(ViewAnimation, DelayAndDurationPassBeforeTheCompletionAndTheCurveShapesTheWay) {
  auto view = std::make_shared<UIView>(CGRect::make(0, 0, 100, 100));
  auto finished = std::make_shared<std::vector<bool>>();
  UIView::animate(
      0.4, 0.1, UIView::AnimationOptions::curveLinear,
      [&] { view->setFrame(CGRect::make(100, 0, 100, 100)); },
      [finished](bool f) { finished->push_back(f); });
  EXPECT_EQ(view->frame().minX(), 100);  // the end state at once
  advance(0.25);
  EXPECT_DOUBLE_EQ(std::get<CGPoint>(*view->layer()->presentationValue("position")).x, 100);
  EXPECT_TRUE(finished->empty());
  advance(0.25);
  EXPECT_EQ(*finished, std::vector<bool>{true});
}

TEST_F(ViewAnimation, RemovingTheLayersAnimationsCutsItShort) {
  auto view = std::make_shared<UIView>(CGRect::make(0, 0, 100, 100));
  auto finished = std::make_shared<std::vector<bool>>();
  UIView::animate(
      1, [&] { view->setAlpha(0); }, [finished](bool f) { finished->push_back(f); });
  advance(0.5);
  view->layer()->removeAllAnimations();
  advance(0.01);
  EXPECT_EQ(*finished, std::vector<bool>{false});
  advance(1);
  EXPECT_EQ(finished->size(), 1u);
  // With nothing that changed, it still completes after its duration.
  UIView::animate(
      0.3, [] {}, [finished](bool f) { finished->push_back(f); });
  advance(0.3);
  EXPECT_EQ(*finished, (std::vector<bool>{false, true}));
}

namespace {
struct StopLog : QuartzCore::CAAnimationDelegate {
  std::vector<std::string> stops;
  void animationDidStop(QuartzCore::CAAnimation& a, bool finished) override {
    const auto* marker = a.value<std::string>("marker");
    stops.push_back((marker ? *marker : "?") + (finished ? " finished" : " cut"));
  }
};
}  // namespace

TEST_F(ViewAnimation, MarkersTravelWithTheLayersCopyAndAReplacedAnimationStopsUnfinished) {
  auto layer = std::make_shared<QuartzCore::CALayer>();
  auto log = std::make_shared<StopLog>();
  auto first = std::make_shared<QuartzCore::CABasicAnimation>("transform");
  first->toValue = QuartzCore::CATransform3DMakeRotation(1, 0, 1, 0);
  first->duration = 1;
  first->delegate = log;
  first->setValue(std::string("first"), "marker");
  layer->add(first, "transform");
  first->setValue(std::string("changed"), "marker");  // the layer holds its own copy
  EXPECT_EQ(*layer->animation("transform")->value<std::string>("marker"), "first");
  EXPECT_EQ(layer->animation("transform")->value<int>("marker"), nullptr);
  auto second = std::make_shared<QuartzCore::CABasicAnimation>("transform");
  second->delegate = log;
  second->duration = 1;
  second->setValue(std::string("second"), "marker");
  layer->add(second, "transform");
  advance(2);
  EXPECT_EQ(log->stops, (std::vector<std::string>{"first cut", "second finished"}));
}
