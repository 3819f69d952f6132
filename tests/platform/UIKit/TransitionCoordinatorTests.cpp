// A transition's coordinator: handed out by the controllers of a present or dismiss while it
// runs, and telling when it has ended, when presenting is possible again.

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

constexpr double kAnimatorDuration = 1;

// Keeps the context so the test decides when the transition ends.
class HeldAnimator : public UIViewControllerAnimatedTransitioning {
 public:
  std::shared_ptr<UIViewControllerContextTransitioning> context;
  Foundation::TimeInterval transitionDuration(
      const std::shared_ptr<UIViewControllerContextTransitioning>&) override {
    return kAnimatorDuration;
  }
  void animateTransition(const std::shared_ptr<UIViewControllerContextTransitioning>& c) override {
    context = c;
    c->containerView()->addSubview(c->view(UITransitionContextToViewKey));
  }
};

class Animating : public UIViewControllerTransitioningDelegate {
 public:
  std::shared_ptr<HeldAnimator> animator = std::make_shared<HeldAnimator>();
  std::shared_ptr<UIViewControllerAnimatedTransitioning> animationControllerForPresented(
      const std::shared_ptr<UIViewController>&, const std::shared_ptr<UIViewController>&,
      const std::shared_ptr<UIViewController>&) override {
    return animator;
  }
};

enum class Kind { present, dismiss, customPresent };

struct Row {
  const char* name;
  Kind kind;
  bool animated;
  bool completes;  // false: the custom animator undoes it
  double duration;
};

class Coordinated : public uikittest::WindowTest, public ::testing::WithParamInterface<Row> {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    presented->addChild(child);
  }
  std::shared_ptr<UIViewController> presented = std::make_shared<UIViewController>();
  std::shared_ptr<UIViewController> child = std::make_shared<UIViewController>();
  std::shared_ptr<Animating> animating = std::make_shared<Animating>();
};

TEST_P(Coordinated, HandedOutWhileItRunsAndTellsWhenPresentingIsPossibleAgain) {
  const auto& row = GetParam();
  auto root = ui->root();
  if (row.kind == Kind::dismiss) {
    root->present(presented, false);
    ui->settle();
    ASSERT_EQ(root->transitionCoordinator(), nullptr);
  }
  if (row.kind == Kind::customPresent) {
    presented->setModalPresentationStyle(UIModalPresentationStyle::custom);
    presented->setTransitioningDelegate(animating);
  }
  std::vector<std::string> journal;
  auto done = [&] { journal.push_back("completion"); };
  if (row.kind == Kind::dismiss) {
    presented->dismiss(row.animated, done);
  } else {
    root->present(presented, row.animated, done);
  }

  auto coordinator = presented->transitionCoordinator();
  ASSERT_NE(coordinator, nullptr);
  EXPECT_EQ(root->transitionCoordinator(), coordinator);
  EXPECT_EQ(child->transitionCoordinator(), coordinator) << "a child answers with its parent's";
  EXPECT_EQ(coordinator->isAnimated(), row.animated);
  EXPECT_EQ(coordinator->transitionDuration(), row.duration);

  // Alongside: at once, over the transition's duration.
  auto view = std::make_shared<UIView>(CGRect::make(0, 0, 10, 10));
  EXPECT_TRUE(coordinator->animate([&](const auto&) { view->setAlpha(0); }, nullptr));
  EXPECT_EQ(view->alpha(), 0);
  const auto fades = view->layer()->allAnimations();
  ASSERT_EQ(fades.size(), row.duration > 0 ? 1u : 0u);
  if (!fades.empty()) {
    EXPECT_EQ(fades[0]->duration, row.duration);
  }

  auto extra = std::make_shared<UIViewController>();
  bool settledWhenTold = false;
  bool cancelled = false;
  EXPECT_TRUE(coordinator->animate(nullptr, [&](const auto& context) {
    journal.push_back("coordinator");
    cancelled = context.isCancelled();
    settledWhenTold = !presented->transitionCoordinator() && !root->transitionCoordinator() &&
                      !presented->isBeingPresented() && !presented->isBeingDismissed();
    ui->frontmost()->present(extra, false);
  }));
  EXPECT_TRUE(journal.empty()) << "told inline";
  if (row.duration > 0) {
    ui->settle();
    EXPECT_TRUE(journal.empty()) << "told before the end";
  }

  if (row.kind == Kind::customPresent) {
    auto& context = animating->animator->context;
    ASSERT_TRUE(context);
    context->completeTransition(row.completes);
    ui->settle();
  } else {
    advance(row.duration);
  }
  EXPECT_EQ(journal, (std::vector<std::string>{"coordinator", "completion"}));
  EXPECT_TRUE(settledWhenTold);
  EXPECT_EQ(cancelled, !row.completes);
  EXPECT_NE(extra->presentingViewController(), nullptr) << "presenting from the end was refused";
  EXPECT_EQ(presented->transitionCoordinator(), nullptr);
  EXPECT_FALSE(coordinator->animate(nullptr, [&](const auto&) { journal.push_back("late"); }));
  extra->dismiss(false);
  ui->settle();
  EXPECT_EQ(journal.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Transitions, Coordinated,
    ::testing::Values(
        Row{"animatedPresent", Kind::present, true, true, UIViewController::transitionDuration},
        Row{"plainPresent", Kind::present, false, true, 0},
        Row{"animatedDismiss", Kind::dismiss, true, true, UIViewController::transitionDuration},
        Row{"customPresent", Kind::customPresent, true, true, kAnimatorDuration},
        Row{"undoneCustomPresent", Kind::customPresent, true, false, kAnimatorDuration}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
