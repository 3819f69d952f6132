#include <gtest/gtest.h>

#include <memory>

#include "Testing/UI.hpp"
#include "UIKit/UIControl.hpp"
#include "UIKit/UITapGestureRecognizer.hpp"
#include "UIKit/UIViewController.hpp"
#include "UIKitTestSupport.hpp"

using namespace UIKit;
using PlatformTesting::UI;
using uikittest::Counter;

namespace {

class Touches : public uikittest::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    ui = std::make_unique<UI>();
    screen = ui->root()->view();
    button = std::make_shared<UIControl>(CGRect::make(50, 100, 100, 50));
    button->addTarget(taps, &Counter::hit, UIControl::Event::touchUpInside);
    screen->addSubview(button);
  }
  void TearDown() override {
    ui.reset();
    ClockTest::TearDown();
  }

  std::unique_ptr<UI> ui;
  std::shared_ptr<UIView> screen;
  std::shared_ptr<UIControl> button;
  std::shared_ptr<Counter> taps = std::make_shared<Counter>();
};

}  // namespace

TEST_F(Touches, AVisibleEnabledControlTakesATapOnItself) {
  EXPECT_TRUE(ui->tap(button));
  EXPECT_EQ(taps->count, 1);
  EXPECT_EQ(ui->tapAt({51, 101}), button);
  EXPECT_EQ(taps->count, 2);
  EXPECT_EQ(ui->tapAt({150, 150}), screen);  // the far edges are outside
  EXPECT_EQ(taps->count, 2);
}

TEST_F(Touches, ATapRecognizerAboveRecognizesAndCancelsTheViewsTouchUnlessToldNot) {
  auto recognized = std::make_shared<Counter>();
  auto cancels = std::make_shared<Counter>();
  button->addTarget(cancels, &Counter::hit, UIControl::Event::touchCancel);
  auto tap = std::make_shared<UITapGestureRecognizer>();
  tap->addTarget(recognized, &Counter::hit);
  screen->addGestureRecognizer(tap);

  EXPECT_TRUE(ui->tap(button));
  EXPECT_EQ(recognized->count, 1);
  EXPECT_EQ(taps->count, 0);
  EXPECT_EQ(cancels->count, 1);

  tap->setCancelsTouchesInView(false);
  ui->tap(button);
  EXPECT_EQ(recognized->count, 2);
  EXPECT_EQ(taps->count, 1);

  tap->setEnabled(false);
  ui->tap(button);
  EXPECT_EQ(recognized->count, 2);
  EXPECT_EQ(tap->state(), UIGestureRecognizer::State::possible);
}

TEST_F(Touches, TargetsAreNotKeptAliveAndGoneTargetsGetNothing) {
  auto recognized = std::make_shared<Counter>();
  std::weak_ptr<Counter> weakTarget = recognized;
  auto tap = std::make_shared<UITapGestureRecognizer>();
  tap->addTarget(recognized, &Counter::hit);
  screen->addGestureRecognizer(tap);
  recognized.reset();
  EXPECT_TRUE(weakTarget.expired());
  taps.reset();
  EXPECT_TRUE(ui->tap(button));  // nobody left to tell; nothing happens
  EXPECT_EQ(button->actionCount(UIControl::Event::touchUpInside), 0u);
}
