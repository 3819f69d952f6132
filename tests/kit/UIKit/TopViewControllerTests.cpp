#include <gtest/gtest.h>

#include <memory>

#include <Testing/UI.hpp>
#include <UIKit/UIAlertController.hpp>
#include <UIKit/UINavigationController.hpp>
#include <UIKit/UITabBarController.hpp>

#include "ZTExtensions/ZTUIApplication.hpp"
#include "platform/UIKit/UIKitTestSupport.hpp"

using namespace UIKit;
using PlatformTesting::UI;
using ZentrelSDK::ZTUIApplication;

namespace {

class TopViewController : public uikittest::ClockTest {
 protected:
  void show(const std::shared_ptr<UIViewController>& presenter,
            const std::shared_ptr<UIViewController>& presented) {
    presenter->present(presented, true);
    advance(UIViewController::transitionDuration);
  }
  std::shared_ptr<UIViewController> plain() { return std::make_shared<UIViewController>(); }
};

}  // namespace

TEST_F(TopViewController, WithoutAKeyWindowOrARootThereIsNone) {
  EXPECT_EQ(ZTUIApplication::topViewController(), nullptr);
  UI ui(nullptr);
  EXPECT_EQ(ZTUIApplication::topViewController(), nullptr);
  EXPECT_EQ(ZTUIApplication::getViewController("anything"), nullptr);
}

TEST_F(TopViewController, APlainRootThatPresentsNothingIsTheTop) {
  UI ui;
  EXPECT_EQ(ZTUIApplication::topViewController(), ui.root());
}

TEST_F(TopViewController, TheWalkFollowsEveryPresentation) {
  UI ui;
  auto a = plain();
  auto b = plain();
  show(ui.root(), a);
  show(a, b);
  EXPECT_EQ(ZTUIApplication::topViewController(), b);
  EXPECT_EQ(ZTUIApplication::topViewController(a), b);
}

TEST_F(TopViewController, ANavigationControllerLeadsToItsVisibleControllerOrToNone) {
  auto visible = plain();
  auto navigation = std::make_shared<UINavigationController>(visible);
  UI ui(navigation);
  EXPECT_EQ(ZTUIApplication::topViewController(), visible);

  auto alert = std::make_shared<UIAlertController>("t", "m", UIAlertController::Style::alert);
  show(visible, alert);
  EXPECT_EQ(ZTUIApplication::topViewController(), alert);
  alert->dismiss(false);
  advance(1);

  EXPECT_EQ(ZTUIApplication::topViewController(std::make_shared<UINavigationController>()),
            nullptr);
}

TEST_F(TopViewController, ATabBarLeadsToItsSelectedControllerElseItIsTheTop) {
  auto tabs = std::make_shared<UITabBarController>();
  UI ui(tabs);
  EXPECT_EQ(ZTUIApplication::topViewController(), tabs);
  auto first = plain();
  auto second = plain();
  tabs->setViewControllers({first, second}, false);
  tabs->setSelectedIndex(1);
  EXPECT_EQ(ZTUIApplication::topViewController(), second);
  auto modal = plain();
  show(second, modal);
  EXPECT_EQ(ZTUIApplication::topViewController(), modal);
}

TEST_F(TopViewController, TheNamedWalkStopsBelowTheControllerWithThatDescription) {
  UI ui;
  auto a = plain();
  auto b = plain();
  show(ui.root(), a);
  show(a, b);
  EXPECT_EQ(ZTUIApplication::getViewController("no such controller"),
            ZTUIApplication::topViewController());
  EXPECT_EQ(ZTUIApplication::getViewController(a->description()), ui.root());
  EXPECT_EQ(ZTUIApplication::getViewController(b->description()), a);
}
