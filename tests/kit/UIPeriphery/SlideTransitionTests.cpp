#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <Testing/UI.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTUIComponents/PresentLikePush/ZTTransitionClasses.hpp"
#include "platform/UIKit/UIKitTestSupport.hpp"
#include "support/LateCallbacks.hpp"

using namespace UIKit;
using PlatformTesting::UI;
using ZentrelSDK::LeftToRightTransition;
using ZentrelSDK::RightToLeftTransition;

namespace {

// The presenting screen, as the kit's screens use the animators.
class PushLikePresenter : public UIViewController, public UIViewControllerTransitioningDelegate {
 public:
  std::shared_ptr<UIViewControllerAnimatedTransitioning> animationControllerForPresented(
      const std::shared_ptr<UIViewController>&, const std::shared_ptr<UIViewController>&,
      const std::shared_ptr<UIViewController>&) override {
    return std::make_shared<RightToLeftTransition>();
  }
  std::shared_ptr<UIViewControllerAnimatedTransitioning> animationControllerForDismissed(
      const std::shared_ptr<UIViewController>&) override {
    return std::make_shared<LeftToRightTransition>();
  }
};

// A context a test controls, recording how the animator completes it.
class RecordingContext : public UIViewControllerContextTransitioning {
 public:
  std::shared_ptr<UIView> container = std::make_shared<UIView>(CGRect::make(0, 0, 320, 480));
  std::shared_ptr<UIView> from;
  std::shared_ptr<UIView> to;
  std::vector<bool> completions;

  std::shared_ptr<UIView> containerView() const override { return container; }
  std::shared_ptr<UIView> view(UITransitionContextViewKey key) const override {
    return key == UITransitionContextFromViewKey ? from : to;
  }
  std::shared_ptr<UIViewController> viewController(
      UITransitionContextViewControllerKey) const override {
    return nullptr;
  }
  CGRect initialFrame(const std::shared_ptr<UIViewController>&) const override { return {}; }
  CGRect finalFrame(const std::shared_ptr<UIViewController>&) const override { return {}; }
  bool isAnimated() const override { return true; }
  void completeTransition(bool didComplete) override { completions.push_back(didComplete); }
};

CGPoint shownPosition(const UIView& view) {
  return std::get<CGPoint>(*view.layer()->presentationValue("position"));
}

class SlideTransitions : public uikittest::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    presenter = std::make_shared<PushLikePresenter>();
    ui = std::make_unique<UI>(presenter);
  }
  void TearDown() override {
    ui.reset();
    ClockTest::TearDown();
  }
  std::shared_ptr<UIViewController> presentPushed(const std::shared_ptr<int>& done) {
    auto pushed = std::make_shared<UIViewController>();
    pushed->setModalPresentationStyle(UIModalPresentationStyle::custom);
    pushed->setTransitioningDelegate(presenter);
    presenter->present(pushed, true, [done] { ++*done; });
    return pushed;
  }

  std::shared_ptr<PushLikePresenter> presenter;
  std::unique_ptr<UI> ui;
};

}  // namespace

TEST_F(SlideTransitions, APresentedScreenSlidesInFromTheRightAndEndsFillingTheContainer) {
  auto presented = zttest::counter();
  auto pushed = presentPushed(presented);
  auto view = pushed->view();
  auto container = view->superview();
  ASSERT_NE(container, nullptr);
  const auto width = container->bounds().width();
  const auto height = container->bounds().height();
  // It starts one full width to the right, at the top.
  EXPECT_DOUBLE_EQ(shownPosition(*view).x, width + width / 2);
  EXPECT_DOUBLE_EQ(shownPosition(*view).y, height / 2);
  advance(0.125);
  EXPECT_LT(shownPosition(*view).x, width + width / 2);
  EXPECT_GT(shownPosition(*view).x, width / 2);
  EXPECT_EQ(*presented, 0);
  advance(0.125);
  EXPECT_EQ(*presented, 1);
  EXPECT_EQ(view->frame(), container->bounds());
  EXPECT_EQ(shownPosition(*view), (CGPoint{width / 2, height / 2}));
  EXPECT_FALSE(pushed->isBeingPresented());
  EXPECT_EQ(ui->frontmost(), pushed);
  // The presenting screen stays beneath.
  EXPECT_NE(presenter->view()->window(), nullptr);
}

TEST_F(SlideTransitions, ADismissedScreenSlidesOutToTheRightAndLeavesTheContainer) {
  auto presented = zttest::counter(), dismissed = zttest::counter();
  auto pushed = presentPushed(presented);
  advance(0.25);
  auto view = pushed->view();
  auto container = view->superview();
  const auto width = container->bounds().width();
  pushed->dismiss(true, zttest::countUp(dismissed));
  EXPECT_EQ(view->superview(), container);
  EXPECT_DOUBLE_EQ(shownPosition(*view).x, width / 2);
  advance(0.2);
  EXPECT_EQ(*dismissed, 0);
  EXPECT_GT(shownPosition(*view).x, width / 2);
  advance(0.05);
  EXPECT_EQ(*dismissed, 1);
  EXPECT_EQ(view->superview(), nullptr);
  EXPECT_EQ(container->superview(), nullptr);
  EXPECT_EQ(presenter->presentedViewController(), nullptr);
  EXPECT_EQ(ui->frontmost(), presenter);
}

TEST_F(SlideTransitions, AContextWithoutTheViewToMoveCompletesAtOnceSuccessfully) {
  auto in = std::make_shared<RecordingContext>();
  in->from = std::make_shared<UIView>();  // the wrong one for a presentation
  RightToLeftTransition().animateTransition(in);
  EXPECT_EQ(in->completions, std::vector<bool>{true});
  EXPECT_TRUE(in->container->subviews().empty());

  auto out = std::make_shared<RecordingContext>();
  out->to = std::make_shared<UIView>();
  LeftToRightTransition().animateTransition(out);
  EXPECT_EQ(out->completions, std::vector<bool>{true});
  EXPECT_TRUE(out->container->subviews().empty());
  advance(1);
  EXPECT_EQ(in->completions.size(), 1u);
  EXPECT_EQ(out->completions.size(), 1u);
}
