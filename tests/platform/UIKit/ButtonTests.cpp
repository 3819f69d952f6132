#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "Testing/UI.hpp"
#include "UIKit/UIButton.hpp"
#include "UIKit/UIImage.hpp"
#include "UIKit/UILabel.hpp"
#include "UIKit/UITapGestureRecognizer.hpp"
#include "UIKit/UIViewController.hpp"
#include "UIKitTestSupport.hpp"

using namespace UIKit;
using PlatformTesting::UI;
using uikittest::Counter;

namespace {

class Buttons : public uikittest::ClockTest {
 public:
  void SetUp() override {
    ClockTest::SetUp();
    presses = std::make_shared<Counter>();
    ui = std::make_unique<UI>();
    screen = ui->root()->view();
    panel = std::make_shared<UIView>(CGRect::make(0, 100, 375, 200));
    screen->addSubview(panel);
    button = std::make_shared<UIButton>(CGRect::make(20, 20, 200, 48));
    button->setTitle("Continue", UIButton::State::normal);
    button->addTarget(presses, &Counter::hit, UIControl::Event::touchUpInside);
    panel->addSubview(button);
  }
  void TearDown() override {
    ui.reset();
    ClockTest::TearDown();
  }

  std::unique_ptr<UI> ui;
  std::shared_ptr<UIView> screen;
  std::shared_ptr<UIView> panel;
  std::shared_ptr<UIButton> button;
  std::shared_ptr<Counter> presses;
};

}  // namespace

TEST_F(Buttons, EachHitTestRuleRefusesTheTap) {
  struct Case {
    const char* rule;
    std::function<void(Buttons&)> apply;
    bool taken;
  };
  const Case cases[] = {
      {"nothing in the way", [](Buttons&) {}, true},
      {"hidden", [](Buttons& t) { t.button->setHidden(true); }, false},
      {"hidden ancestor", [](Buttons& t) { t.panel->setHidden(true); }, false},
      {"alpha below 0.01", [](Buttons& t) { t.button->setAlpha(0.005); }, false},
      {"alpha of 0.01", [](Buttons& t) { t.button->setAlpha(0.01); }, true},
      {"ancestor nearly transparent", [](Buttons& t) { t.panel->setAlpha(0.001); }, false},
      {"interaction off", [](Buttons& t) { t.button->setUserInteractionEnabled(false); }, false},
      {"interaction off above", [](Buttons& t) { t.panel->setUserInteractionEnabled(false); },
       false},
      {"disabled", [](Buttons& t) { t.button->setEnabled(false); }, false},
      {"covered by a view",
       [](Buttons& t) { t.screen->addSubview(std::make_shared<UIView>(t.screen->bounds())); },
       false},
  };
  for (const auto& c : cases) {
    SetUp();
    c.apply(*this);
    EXPECT_EQ(ui->tap(button), c.taken) << c.rule;
    EXPECT_EQ(presses->count, c.taken ? 1 : 0) << c.rule;
    TearDown();
  }
}

TEST_F(Buttons, ATapOnAButtonRunsItsActionOnlyNotTheTapRecognizersAroundIt) {
  auto dismissTaps = std::make_shared<Counter>();
  auto outside = std::make_shared<UITapGestureRecognizer>();
  outside->addTarget(dismissTaps, &Counter::hit);
  screen->addGestureRecognizer(outside);

  EXPECT_TRUE(ui->tap(button));
  EXPECT_EQ(presses->count, 1);
  EXPECT_EQ(dismissTaps->count, 0);

  ui->tapAt({300, 500});  // beside the button, the recognizer takes it
  EXPECT_EQ(dismissTaps->count, 1);

  auto own = std::make_shared<UITapGestureRecognizer>();  // one on the button itself still acts
  auto ownTaps = std::make_shared<Counter>();
  own->addTarget(ownTaps, &Counter::hit);
  button->addGestureRecognizer(own);
  ui->tap(button);
  EXPECT_EQ(ownTaps->count, 1);
  EXPECT_EQ(presses->count, 1);
}

TEST_F(Buttons, ShowsTheValueOfItsStateOrElseTheNormalOne) {
  auto normal = UIImage::withSize({10, 10});
  auto disabled = UIImage::withSize({20, 20});
  button->setTitle("Wait", UIButton::State::disabled);
  button->setTitle("Chosen", UIButton::State::selected);
  button->setImage(normal, UIButton::State::normal);
  button->setImage(disabled, UIButton::State::disabled);
  button->setBackgroundImage(normal, UIButton::State::selected);

  // One change at a time: each must show its state by itself.
  struct Case {
    const char* change;
    std::function<void(UIButton&)> apply;
    std::optional<std::string> title;
    std::shared_ptr<UIImage> image, background;
  };
  const Case cases[] = {
      {"disabled", [](UIButton& b) { b.setEnabled(false); }, "Wait", disabled, nullptr},
      {"enabled", [](UIButton& b) { b.setEnabled(true); }, "Continue", normal, nullptr},
      {"selected", [](UIButton& b) { b.setSelected(true); }, "Chosen", normal, normal},
      {"disabled while selected", [](UIButton& b) { b.setEnabled(false); }, "Wait", disabled,
       nullptr},
      {"unselected while disabled", [](UIButton& b) { b.setSelected(false); }, "Wait", disabled,
       nullptr},
      {"enabled again", [](UIButton& b) { b.setEnabled(true); }, "Continue", normal, nullptr},
  };
  for (const auto& c : cases) {
    c.apply(*button);
    EXPECT_EQ(button->currentTitle(), c.title) << c.change;
    EXPECT_EQ(ui->findText(c.title.value_or("")), button) << c.change;
    EXPECT_EQ(button->titleLabel()->text(), c.title) << c.change;  // what is drawn
    EXPECT_EQ(button->currentImage(), c.image) << c.change;
    EXPECT_EQ(button->currentBackgroundImage(), c.background) << c.change;
  }
}
