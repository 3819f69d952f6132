#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <Testing/UI.hpp>
#include <UIKit/UIActivityIndicatorView.hpp>
#include <UIKit/UIAlertController.hpp>
#include <UIKit/UIControl.hpp>
#include <UIKit/UIWindow.hpp>

#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "platform/UIKit/UIKitTestSupport.hpp"

using namespace UIKit;
using PlatformTesting::UI;
using ZentrelSDK::ZTUIUtilites;

namespace {

constexpr double kTransition = UIViewController::transitionDuration;

class FeedbackService : public uikittest::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    ui = std::make_unique<UI>();
  }
  void TearDown() override {
    advance(30);  // let every alert and loader finish while the window is still there
    ui.reset();
    ClockTest::TearDown();
  }

  ZTUIUtilites& service() { return *ZTUIUtilites::shared(); }
  std::function<void()> counting(int& counter) {
    return [&counter] { ++counter; };
  }
  std::shared_ptr<UIAlertController> frontAlert() {
    return std::dynamic_pointer_cast<UIAlertController>(ui->frontmost());
  }
  // Lets the alert's steps run and its presentation finish; returns the alert on screen.
  std::shared_ptr<UIAlertController> finishPresenting() {
    ui->settle();
    auto alert = frontAlert();
    EXPECT_NE(alert, nullptr);
    if (alert) {
      EXPECT_TRUE(alert->isBeingPresented());
    }
    advance(kTransition);
    if (alert) {
      EXPECT_FALSE(alert->isBeingPresented());
    }
    return alert;
  }

  std::unique_ptr<UI> ui;
  int completions = 0;
  int others = 0;
};

}  // namespace

TEST_F(FeedbackService, AnErrorAlertClosesFiveSecondsAfterItsPresentationAndCompletesOnce) {
  service().errorAlert("Something failed", counting(completions));
  auto alert = finishPresenting();
  ASSERT_NE(alert, nullptr);
  EXPECT_EQ(ui->alertTitle(), "Error");
  EXPECT_EQ(ui->alertMessage(), "Something failed");
  EXPECT_TRUE(ui->findAll<UIControl>().empty());  // no buttons

  advance(4.999);
  EXPECT_EQ(frontAlert(), alert);
  EXPECT_EQ(completions, 0);
  advance(0.001);
  EXPECT_TRUE(alert->isBeingDismissed());
  EXPECT_EQ(completions, 0);  // only once it has gone
  advance(kTransition);
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(ui->frontmost(), ui->root());
  advance(20);
  EXPECT_EQ(completions, 1);
}

TEST_F(FeedbackService, ATapOnTheBackdropClosesTheAlertAndNothingMoreHappensLater) {
  service().errorAlert("Tap me away", counting(completions));
  auto alert = finishPresenting();
  ASSERT_NE(alert, nullptr);
  auto backdrop = alert->view()->superview()->subviews().front();
  EXPECT_TRUE(backdrop->isUserInteractionEnabled());
  EXPECT_EQ(backdrop->gestureRecognizers().size(), 1u);
  EXPECT_TRUE(ui->tap(alert->view()));  // the box itself does nothing
  EXPECT_EQ(frontAlert(), alert);

  advance(2);
  EXPECT_EQ(ui->tapAt({5, 5}), backdrop);
  advance(kTransition);
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(ui->frontmost(), ui->root());
  advance(5);
  EXPECT_EQ(completions, 1);
}

TEST_F(FeedbackService, ADoubleTapOnTheBackdropCompletesOnce) {
  service().errorAlert("Twice", counting(completions));
  ASSERT_NE(finishPresenting(), nullptr);
  ui->tapAt({5, 5});
  service().actionDissmissErrorAlert();  // the second tap, while the first one closes it
  advance(kTransition * 3);
  EXPECT_EQ(completions, 1);
  service().actionDissmissErrorAlert();  // and one after it has gone
  advance(1);
  EXPECT_EQ(completions, 1);
}

TEST_F(FeedbackService, ANewerAlertReplacesTheShownOneWhoseCompletionRunsOnceItHasGone) {
  service().errorAlert("first", counting(others));
  auto first = finishPresenting();
  ASSERT_NE(first, nullptr);
  advance(2);
  service().errorAlert("second", counting(completions));  // the first is the topmost now
  ui->settle();
  EXPECT_TRUE(first->isBeingDismissed());
  EXPECT_EQ(others, 0);
  advance(kTransition);  // the first has gone; the second is presented from what is left
  EXPECT_EQ(others, 1);
  auto second = finishPresenting();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(ui->alertMessage(), "second");
  EXPECT_EQ(second->presentingViewController(), ui->root());

  advance(3);  // past the first alert's five seconds: its timer is gone
  EXPECT_EQ(frontAlert(), second);
  advance(2 + kTransition);  // five seconds after the second's presentation, and its closing
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(others, 1);
  EXPECT_EQ(ui->frontmost(), ui->root());
}

TEST_F(FeedbackService, WithoutADescriptionOrARootTheCompletionRunsBeforeTheCallReturns) {
  service().errorAlert(std::nullopt, counting(completions));
  EXPECT_EQ(completions, 1);
  ui->settle();
  EXPECT_EQ(ui->frontmost(), ui->root());

  ui = std::make_unique<UI>(nullptr);  // a key window without a root
  service().errorAlert("lost", counting(completions));
  EXPECT_EQ(completions, 2);
  ui.reset();  // no window at all
  service().errorAlert("lost", counting(completions));
  EXPECT_EQ(completions, 3);
  ui = std::make_unique<UI>();
  advance(10);
  EXPECT_EQ(ui->frontmost(), ui->root());
  EXPECT_EQ(completions, 3);
}

TEST_F(FeedbackService, TheLoaderIsASpinnerAloneOverTheDimmedScreen) {
  service().loaderStart(1.0, counting(completions));
  auto loader = finishPresenting();
  ASSERT_NE(loader, nullptr);
  ui->settle();
  EXPECT_EQ(completions, 1);
  EXPECT_TRUE(ui->isLoaderShowing());
  EXPECT_EQ(loader->title(), "");
  EXPECT_FALSE(loader->message().has_value());

  const auto& box = loader->view();
  auto spinners = ui->findAll<UIActivityIndicatorView>();
  ASSERT_EQ(spinners.size(), 1u);
  auto spinner = spinners.front();
  EXPECT_EQ(spinner->superview(), box);
  EXPECT_TRUE(spinner->isAnimating());

  service().loaderDissmiss(counting(others));
  advance(kTransition);
  EXPECT_EQ(others, 1);
  EXPECT_FALSE(ui->isLoaderShowing());
  EXPECT_EQ(ui->frontmost(), ui->root());
}

TEST_F(FeedbackService, ASecondLoaderReplacesTheFirstAndItsCompletionComes) {
  service().loaderStart(1.0, counting(others));
  auto first = finishPresenting();
  ASSERT_NE(first, nullptr);
  service().loaderStart(1.0, counting(completions));
  advance(kTransition);  // the first goes
  auto second = finishPresenting();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(second->presentingViewController(), ui->root());
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(ui->findAll<UIActivityIndicatorView>().size(), 1u);
  service().loaderDissmiss();
  advance(kTransition);
  EXPECT_FALSE(ui->isLoaderShowing());
}

// The screen to show it on goes between the call and the show, or the top screen stands in no
// window (a kept root put back): whoever waits still goes on, once, with nothing shown.
TEST_F(FeedbackService, FeedbackThatCannotBeShownLetsItsCallerGoOnOnce) {
  struct Row {
    const char* name;
    std::function<void()> beforeTheCall;
    std::function<void()> beforeTheShow;
  };
  const std::vector<Row> rows{
      {"rootGone", nullptr, [this] { ui->window()->setRootViewController(nullptr); }},
      {"windowGone", nullptr, [this] { ui.reset(); }},
      {"topScreenInNoWindow",
       [this] {
         auto kept = ui->root();
         kept->present(std::make_shared<UIViewController>(), false);
         advance(kTransition);
         ui->window()->setRootViewController(std::make_shared<UIViewController>());
         ui->window()->setRootViewController(kept);
       },
       nullptr},
  };
  for (const bool loader : {true, false}) {
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(row.name) + (loader ? ", loader" : ", alert"));
      ui = std::make_unique<UI>();
      int heard = 0;
      if (row.beforeTheCall) row.beforeTheCall();
      if (loader) {
        service().loaderStart(1.0, counting(heard));
      } else {
        service().errorAlert("nowhere", counting(heard));
      }
      if (row.beforeTheShow) row.beforeTheShow();
      advance(kTransition);
      EXPECT_EQ(heard, 1);
      service().loaderDissmiss(counting(others));
      advance(10);
      EXPECT_EQ(heard, 1);
      if (ui) {
        EXPECT_FALSE(ui->isLoaderShowing());
        EXPECT_FALSE(ui->alertTitle());
      }
    }
  }
  EXPECT_EQ(others, 6) << "each closing of the loader completes";
}
