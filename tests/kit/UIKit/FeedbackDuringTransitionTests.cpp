// The error alert and the loader asked for while the screen on top is still coming in or
// going away: they wait for that to end, then show over what is on top.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <Testing/UI.hpp>
#include <UIKit/UIAlertController.hpp>

#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "platform/UIKit/UIKitTestSupport.hpp"

using namespace UIKit;
using PlatformTesting::UI;
using ZentrelSDK::ZTUIUtilites;

namespace {

constexpr double kTransition = UIViewController::transitionDuration;

enum class Under { presenting, dismissing };

struct Row {
  const char* name;
  Under under;
  bool loader;  // else the error alert
};

class FeedbackDuringTransition : public uikittest::ClockTest,
                                 public ::testing::WithParamInterface<Row> {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    ui = std::make_unique<UI>();
  }
  void TearDown() override {
    advance(30);  // every alert and loader done while the window is still there
    ui.reset();
    ClockTest::TearDown();
  }
  std::shared_ptr<UIViewController> screen = std::make_shared<UIViewController>();
  std::unique_ptr<UI> ui;
};

TEST_P(FeedbackDuringTransition, WaitsForItsEndThenShowsOverWhatIsOnTop) {
  const auto& row = GetParam();
  std::shared_ptr<UIViewController> onTop = screen;
  if (row.under == Under::presenting) {
    ui->root()->present(screen, true);
  } else {
    ui->root()->present(screen, false);
    ui->settle();
    screen->dismiss(true);
    onTop = ui->root();
  }
  int shown = 0;
  if (row.loader) {
    ZTUIUtilites::shared()->loaderStart(1.0, [&] { ++shown; });
  } else {
    ZTUIUtilites::shared()->errorAlert("Failed", [&] { ++shown; });
  }
  ui->settle();
  EXPECT_EQ(ui->isLoaderShowing() || ui->alertTitle().has_value(), false);

  advance(kTransition);  // the screen is in, or gone
  EXPECT_EQ(onTop->presentedViewController(), ui->frontmost());
  EXPECT_NE(std::dynamic_pointer_cast<UIAlertController>(ui->frontmost()), nullptr);
  if (row.loader) {
    EXPECT_TRUE(ui->isLoaderShowing());
    advance(kTransition);
    EXPECT_EQ(shown, 1) << "once the loader is on screen";
  } else {
    EXPECT_EQ(ui->alertMessage(), "Failed");
    advance(6);  // in, shown for 5 s, out
    EXPECT_EQ(shown, 1) << "once the alert has closed";
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, FeedbackDuringTransition,
                         ::testing::Values(Row{"alertWhilePresenting", Under::presenting, false},
                                           Row{"alertWhileDismissing", Under::dismissing, false},
                                           Row{"loaderWhilePresenting", Under::presenting, true},
                                           Row{"loaderWhileDismissing", Under::dismissing, true}),
                         [](const auto& info) { return std::string(info.param.name); });

class LoaderClosedEarly : public FeedbackDuringTransition {};

// The work behind a loader may end before the loader could be shown: it comes, then goes.
TEST_F(LoaderClosedEarly, ComesAndGoesWhetherOrNotItHadToWait) {
  for (const bool screenComingIn : {true, false}) {
    SCOPED_TRACE(screenComingIn);
    auto under = ui->root();
    if (screenComingIn) {
      under = std::make_shared<UIViewController>();
      ui->root()->present(under, true);
    }
    int started = 0;
    int closed = 0;
    ZTUIUtilites::shared()->loaderStart(1.0, [&] { ++started; });
    ZTUIUtilites::shared()->loaderDissmiss([&] { ++closed; });
    ui->settle();
    EXPECT_EQ(closed, 0) << "closed before it was shown";

    advance(kTransition);  // the screen is in (when there is one)
    advance(kTransition);  // the loader is in, and goes
    advance(kTransition);
    advance(kTransition);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(ui->isLoaderShowing());
    EXPECT_EQ(ui->frontmost(), under);
    under->dismiss(false);
    ui->settle();
  }
}

}  // namespace
