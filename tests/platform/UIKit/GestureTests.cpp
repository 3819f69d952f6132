#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <vector>

#include "Testing/UI.hpp"
#include "UIKit/InterfaceBinder.hpp"
#include "UIKit/UILongPressGestureRecognizer.hpp"
#include "UIKit/UIPanGestureRecognizer.hpp"
#include "UIKit/UIPinchGestureRecognizer.hpp"
#include "UIKit/UITapGestureRecognizer.hpp"
#include "UIKit/UIViewController.hpp"
#include "UIKit/UIWindow.hpp"
#include "UIKitTestSupport.hpp"

using namespace UIKit;
using PlatformTesting::UI;
using State = UIGestureRecognizer::State;

namespace {

// Writes down every state its recognizer reports, with what it read at that moment.
struct Log {
  std::vector<State> states;
  std::vector<CGPoint> translations;
  std::vector<CGFloat> scales;
  void seen(UIGestureRecognizer& r) {
    states.push_back(r.state());
    if (auto* pan = dynamic_cast<UIPanGestureRecognizer*>(&r))
      translations.push_back(pan->translation(r.view().get()));
    if (auto* pinch = dynamic_cast<UIPinchGestureRecognizer*>(&r)) scales.push_back(pinch->scale());
  }
};

class Gestures : public uikittest::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    ui = std::make_unique<UI>();
    card = std::make_shared<UIView>(CGRect::make(50, 200, 200, 200));
    ui->root()->view()->addSubview(card);
  }
  void TearDown() override {
    ui.reset();
    ClockTest::TearDown();
  }
  template <class R>
  std::shared_ptr<R> attach() {
    auto r = std::make_shared<R>();
    r->addTarget(log, &Log::seen);
    card->addGestureRecognizer(r);
    return r;
  }

  std::unique_ptr<UI> ui;
  std::shared_ptr<UIView> card;
  std::shared_ptr<Log> log = std::make_shared<Log>();
};

}  // namespace

TEST_F(Gestures, ALongPressBeginsOnlyAfterItsDurationOnTheClock) {
  struct Case {
    double held;
    std::vector<State> states;
  };
  const Case cases[] = {
      {0.2, {}},
      {0.5, {State::began, State::ended}},
      {2.0, {State::began, State::ended}},
  };
  auto press = attach<UILongPressGestureRecognizer>();
  for (const auto& c : cases) {
    log->states.clear();
    EXPECT_TRUE(ui->longPress(card, c.held));
    EXPECT_EQ(log->states, c.states) << c.held;
    EXPECT_EQ(press->state(), State::possible);  // ready for the next press
  }
  // A timer left from a short press does not begin the next one early.
  log->states.clear();
  ui->window()->beginTouches({{150, 300}});
  advance(0.3);
  ui->window()->endTouches();
  ui->window()->beginTouches({{150, 300}});
  advance(0.3);
  EXPECT_TRUE(log->states.empty());
  advance(0.3);
  EXPECT_EQ(log->states, std::vector<State>{State::began});
  ui->window()->endTouches();
}

TEST_F(Gestures, APanReportsItsStatesAndTranslationAlongThePath) {
  struct Case {
    std::vector<CGPoint> path;
    std::vector<State> states;
    CGPoint lastTranslation;
  };
  const Case cases[] = {
      {{{100, 100}, {104, 100}}, {}, {}},  // under the distance a pan needs: fails
      {{{100, 100}, {100, 120}, {130, 150}},
       {State::began, State::changed, State::ended},
       {30, 50}},
      {{{10, 10}, {-40, 10}}, {State::began, State::ended}, {-50, 0}},
  };
  auto pan = attach<UIPanGestureRecognizer>();
  for (const auto& c : cases) {
    *log = {};
    EXPECT_TRUE(ui->pan(card, c.path));
    EXPECT_EQ(log->states, c.states);
    if (!c.states.empty()) {
      EXPECT_EQ(log->translations.back(), c.lastTranslation);
    }
  }
  // Scaled by two, the card's own axes halve the finger's distances.
  card->setTransform(CGAffineTransform::scale(2, 2));
  *log = {};
  EXPECT_TRUE(ui->pan(card, {{100, 100}, {100, 120}}));
  EXPECT_EQ(log->translations.back(), (CGPoint{0, 20}));
  EXPECT_EQ(pan->location(nullptr), (CGPoint{}));  // reset after the gesture
}

TEST_F(Gestures, APanThatTheSystemCancelsTellsItsTargets) {
  attach<UIPanGestureRecognizer>();
  auto window = ui->window();
  window->beginTouches({{100, 250}});
  window->moveTouches({{100, 300}});
  window->cancelTouches();
  EXPECT_EQ(log->states, (std::vector<State>{State::began, State::cancelled}));
}

TEST_F(Gestures, APinchScalesByTheFingersSpread) {
  struct Case {
    std::vector<CGFloat> spread;
    std::vector<CGFloat> scales;
    State last;
  };
  const Case cases[] = {
      {{2, 3}, {2, 3, 3}, State::ended},
      {{0.5}, {0.5, 0.5}, State::ended},
      {{0, 1.5}, {1.5, 1.5}, State::ended},  // fingers on one spot give no scale of 0
      {{}, {}, State::possible},
  };
  auto pinch = attach<UIPinchGestureRecognizer>();
  for (const auto& c : cases) {
    *log = {};
    EXPECT_TRUE(ui->pinch(card, c.spread));
    EXPECT_EQ(log->scales, c.scales);
    EXPECT_EQ(log->states.empty() ? State::possible : log->states.back(), c.last);
  }
  EXPECT_EQ(pinch->scale(), 1);
}

TEST(Pinch, KeepsItsScaleWhenGivenOneThatShowsNothing) {
  UIPinchGestureRecognizer pinch;
  pinch.setScale(2);
  for (const CGFloat bad : {0.0, -1.0, std::numeric_limits<CGFloat>::quiet_NaN(),
                            std::numeric_limits<CGFloat>::infinity()}) {
    pinch.setScale(bad);
    EXPECT_EQ(pinch.scale(), 2) << bad;
  }
}

TEST_F(Gestures, OneRecognizerTakesTheTouchesAndTheOthersAreCancelled) {
  auto tapLog = std::make_shared<Log>();
  auto tap = std::make_shared<UITapGestureRecognizer>();
  tap->addTarget(tapLog, &Log::seen);
  ui->root()->view()->addGestureRecognizer(tap);
  attach<UIPanGestureRecognizer>();

  ui->pan(card, {{10, 10}, {10, 60}});  // a drag is no tap
  EXPECT_EQ(log->states.size(), 2u);
  EXPECT_TRUE(tapLog->states.empty());
  ui->tap(card);  // a tap is no drag
  EXPECT_EQ(tapLog->states, std::vector<State>{State::ended});
  EXPECT_EQ(log->states.size(), 2u);
}

TEST_F(Gestures, ATapIsRecognizedByTheNearestViewsRecognizerAlone) {
  auto inner = std::make_shared<UIView>(CGRect::make(0, 0, 100, 100));
  card->addSubview(inner);
  auto outerLog = std::make_shared<Log>();
  auto innerLog = std::make_shared<Log>();
  for (const auto& [view, target] : {std::pair{card, outerLog}, std::pair{inner, innerLog}}) {
    auto tap = std::make_shared<UITapGestureRecognizer>();
    tap->setCancelsTouchesInView(false);
    tap->addTarget(target, &Log::seen);
    view->addGestureRecognizer(tap);
  }
  struct Case {
    CGPoint point;  // in the window
    std::size_t inner, outer;
  };
  const Case cases[] = {{{100, 250}, 1, 0}, {{200, 350}, 1, 1}};
  for (const auto& c : cases) {
    ui->tapAt(c.point);
    EXPECT_EQ(innerLog->states.size(), c.inner);
    EXPECT_EQ(outerLog->states.size(), c.outer);
  }
}

TEST_F(Gestures, ARemovedRecognizerHearsNothing) {
  auto pan = attach<UIPanGestureRecognizer>();
  card->removeGestureRecognizer(pan);
  ui->pan(card, {{10, 10}, {10, 60}});
  EXPECT_TRUE(log->states.empty());
  EXPECT_EQ(pan->view(), nullptr);
}

namespace {
class GestureScreen : public UIViewController {
 public:
  using UIViewController::UIViewController;
  void bindInterface(InterfaceBinder& binder) override {
    binder.outlet("photo", photo);
    binder.gestureAction("zoom:", [this](UIGestureRecognizer& r) {
      if (r.state() == State::ended) zoomed = static_cast<UIPinchGestureRecognizer&>(r).scale();
    });
    binder.gestureAction("hold:", [this](UIGestureRecognizer& r) {
      if (r.state() == State::began) ++holds;
    });
  }
  std::weak_ptr<UIView> photo;
  CGFloat zoomed = 0;
  int holds = 0;
};
}  // namespace

TEST_F(Gestures, RecognizersFromAnInterfaceFileReachTheirOwner) {
  uikittest::TestBundle files;
  files.write("GestureScreen.json", R"({"objects": [
    {"class": "UIView", "outlet": "view", "frame": [0, 0, 375, 812], "subviews": [
      {"class": "UIView", "outlet": "photo", "frame": [0, 100, 375, 375], "gestureRecognizers": [
        {"class": "UIPinchGestureRecognizer", "selector": "zoom:"},
        {"class": "UILongPressGestureRecognizer", "selector": "hold:",
         "minimumPressDuration": 1.5},
        {"class": "UIRotationGestureRecognizer", "selector": "turn:"}]}]}]})");
  auto screen = std::make_shared<GestureScreen>("GestureScreen", files.bundle());
  UI screenUI(screen);
  auto photo = screen->photo.lock();
  ASSERT_TRUE(photo);
  EXPECT_EQ(photo->gestureRecognizers().size(), 2u);  // the unknown class is reported, not made
  screenUI.pinch(photo, {1.5, 2.5});
  EXPECT_EQ(screen->zoomed, 2.5);
  screenUI.longPress(photo, 1);
  EXPECT_EQ(screen->holds, 0);
  screenUI.longPress(photo, 1.5);
  EXPECT_EQ(screen->holds, 1);
}
