#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Dispatch/DispatchQueue.hpp"
#include "Foundation/NotificationCenter.hpp"
#include "Foundation/Thread.hpp"
#include "Testing/ManualClock.hpp"
#include "Testing/UI.hpp"
#include "UIKit/UINavigationController.hpp"
#include "UIKit/UIPresentationController.hpp"
#include "UIKit/UIWindow.hpp"
#include "UIKitTestSupport.hpp"
#include "support/LateCallbacks.hpp"

using namespace UIKit;
using PlatformTesting::UI;

namespace {

constexpr double kDuration = UIViewController::transitionDuration;

// Records its life as "<name>.<callback>" into a shared journal.
class Screen : public UIViewController {
 public:
  Screen(std::string name, std::shared_ptr<std::vector<std::string>> journal)
      : name_(std::move(name)), journal_(std::move(journal)) {}
  void viewDidLoad() override { note("load"); }
  void viewWillAppear(bool) override { note("willAppear"); }
  void viewDidAppear(bool) override { note("didAppear"); }
  void viewWillDisappear(bool) override { note("willDisappear"); }
  void viewDidDisappear(bool) override { note("didDisappear"); }

 private:
  void note(const std::string& what) { journal_->push_back(name_ + "." + what); }
  std::string name_;
  std::shared_ptr<std::vector<std::string>> journal_;
};

class Presentation : public uikittest::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    root = std::make_shared<Screen>("root", journal);
    ui = std::make_unique<UI>(root);
    journal->clear();
  }
  void TearDown() override {
    ui.reset();
    ClockTest::TearDown();
  }
  std::shared_ptr<Screen> screen(const std::string& name) {
    return std::make_shared<Screen>(name, journal);
  }
  std::function<void()> count(std::shared_ptr<int> counter) {
    return zttest::countUp(std::move(counter));
  }

  std::shared_ptr<std::vector<std::string>> journal = std::make_shared<std::vector<std::string>>();
  std::shared_ptr<Screen> root;
  std::unique_ptr<UI> ui;
};

}  // namespace

TEST_F(Presentation, PresentingShowsAtOnceAndCompletesAfterTheAnimation) {
  auto a = screen("a");
  auto done = zttest::counter();
  root->present(a, true, count(done));
  EXPECT_EQ(root->presentedViewController(), a);
  EXPECT_EQ(a->presentingViewController(), root);
  EXPECT_TRUE(a->isBeingPresented());
  EXPECT_EQ(ui->frontmost(), a);
  EXPECT_EQ(a->viewIfLoaded()->window(), ui->window());
  ui->settle();
  advance(kDuration - 0.001);
  EXPECT_EQ(*done, 0);
  advance(0.001);
  EXPECT_EQ(*done, 1);
  EXPECT_FALSE(a->isBeingPresented());
  // The default style leaves the presenter on screen.
  EXPECT_EQ(*journal, (std::vector<std::string>{"a.load", "a.willAppear", "a.didAppear"}));
}

TEST_F(Presentation, TheChainOwnsAPresentedControllerUntilItsDismissalCompleted) {
  auto a = screen("a");
  std::weak_ptr<Screen> weakA = a;
  root->present(a, false);
  a.reset();
  advance(1);
  ASSERT_FALSE(weakA.expired());

  auto aliveAtCompletion = zttest::flag();
  auto done = zttest::counter();
  root->dismiss(true, [aliveAtCompletion, done, weakA] {
    *aliveAtCompletion = !weakA.expired();
    ++*done;
  });
  EXPECT_FALSE(weakA.expired());
  EXPECT_EQ(weakA.lock()->viewIfLoaded()->window(), nullptr);  // gone from the screen at once
  advance(kDuration);
  EXPECT_EQ(*done, 1);
  EXPECT_TRUE(*aliveAtCompletion);
  EXPECT_TRUE(weakA.expired());
  EXPECT_EQ(root->presentedViewController(), nullptr);
  EXPECT_EQ(ui->frontmost(), root);
}

TEST_F(Presentation, PresentingFromAControllerThatAlreadyPresentsIsRefused) {
  auto a = screen("a");
  auto b = screen("b");
  root->present(a, false);
  advance(1);
  auto done = zttest::counter();
  testing::internal::CaptureStderr();
  root->present(b, true, count(done));
  const std::string log = testing::internal::GetCapturedStderr();
  advance(5);
  EXPECT_EQ(*done, 0);
  EXPECT_NE(log.find("which is already presenting " + a->description()), std::string::npos);
  EXPECT_EQ(b->presentingViewController(), nullptr);
  EXPECT_EQ(ui->frontmost(), a);
}

TEST_F(Presentation, PresentingFromAControllerOutsideAWindowIsRefused) {
  auto loose = screen("loose");
  auto done = zttest::counter();
  testing::internal::CaptureStderr();
  loose->present(screen("a"), false, count(done));
  const std::string log = testing::internal::GetCapturedStderr();
  advance(1);
  EXPECT_EQ(*done, 0);
  EXPECT_NE(log.find("not in the window hierarchy"), std::string::npos);
}

TEST_F(Presentation, ADismissalAskedForDuringThePresentationWaitsForIt) {
  auto a = screen("a");
  auto order = std::make_shared<std::vector<std::string>>();
  root->present(a, true, [order] { order->push_back("presented"); });
  root->dismiss(true, [order] { order->push_back("dismissed"); });
  advance(kDuration);
  EXPECT_EQ(*order, std::vector<std::string>{"presented"});
  EXPECT_TRUE(a->isBeingDismissed());
  advance(kDuration);
  EXPECT_EQ(*order, (std::vector<std::string>{"presented", "dismissed"}));
  EXPECT_EQ(root->presentedViewController(), nullptr);
}

TEST_F(Presentation, DismissingClosesEverythingAboveAndAPresentedControllerCanCloseItself) {
  auto a = screen("a");
  auto b = screen("b");
  root->present(a, false);
  advance(1);
  a->present(b, false);
  advance(1);
  EXPECT_EQ(ui->frontmost(), b);
  EXPECT_EQ(b->presentingViewController(), a);

  auto done = zttest::counter();
  b->dismiss(true, count(done));  // b presents nothing: it goes itself
  advance(kDuration);
  EXPECT_EQ(*done, 1);
  EXPECT_EQ(ui->frontmost(), a);

  a->present(b, false);
  advance(1);
  root->dismiss(false, count(done));
  ui->settle();
  EXPECT_EQ(*done, 2);
  EXPECT_EQ(ui->frontmost(), root);
  EXPECT_EQ(a->presentedViewController(), nullptr);
  EXPECT_EQ(b->presentingViewController(), nullptr);
}

TEST_F(Presentation, AChildPresentsThroughItsContainerUnlessAContextIsDefined) {
  auto child = screen("child");
  auto navigation = std::make_shared<UINavigationController>(child);
  auto host = std::make_shared<UI>(navigation);  // a second window, made key
  auto a = screen("a");
  child->present(a, false);
  advance(1);
  EXPECT_EQ(navigation->presentedViewController(), a);
  EXPECT_EQ(child->presentedViewController(), a);
  EXPECT_EQ(a->presentingViewController(), navigation);
  EXPECT_EQ(navigation->visibleViewController(), a);
  child->dismiss(false);
  advance(1);

  child->setDefinesPresentationContext(true);
  child->view()->setFrame(CGRect::make(0, 100, 375, 300));
  auto sheet = screen("sheet");
  sheet->setModalPresentationStyle(UIModalPresentationStyle::overCurrentContext);
  child->present(sheet, false);
  advance(1);
  EXPECT_EQ(sheet->presentingViewController(), child);
  EXPECT_EQ(sheet->presentationController()->containerView()->frame(),
            CGRect::make(0, 100, 375, 300));
  host.reset();
}

TEST_F(Presentation, AChildAppearsWhenItsViewJoinsAParentOnScreenAndDisappearsWhenItLeaves) {
  auto child = screen("child");
  root->addChild(child);
  root->view()->addSubview(child->view());
  child->didMove(root.get());
  EXPECT_EQ(*journal,
            (std::vector<std::string>{"child.load", "child.willAppear", "child.didAppear"}));
  journal->clear();
  child->willMove(nullptr);
  child->view()->removeFromSuperview();
  child->removeFromParent();
  EXPECT_EQ(*journal, (std::vector<std::string>{"child.willDisappear", "child.didDisappear"}));
}

TEST_F(Presentation, AChildOfAParentOffScreenAppearsWithItsParentOnly) {
  auto parent = screen("parent");
  auto child = screen("child");
  parent->addChild(child);
  parent->view()->addSubview(child->view());  // not in a window yet: nothing appears
  EXPECT_EQ(*journal, (std::vector<std::string>{"parent.load", "child.load"}));
  root->present(parent, true);
  advance(kDuration);
  EXPECT_EQ(*journal,
            (std::vector<std::string>{"parent.load", "child.load", "parent.willAppear",
                                      "child.willAppear", "parent.didAppear", "child.didAppear"}));
}

TEST_F(Presentation, APageWhoseViewSitsInAnotherControllersViewPresentsThroughIt) {
  auto page = screen("page");
  root->view()->addSubview(page->view());  // placed in a cell, not made a child
  auto reset = screen("reset");
  auto presented = zttest::counter();
  page->present(reset, true, count(presented));
  advance(kDuration);
  EXPECT_EQ(*presented, 1);
  EXPECT_EQ(reset->presentingViewController(), root);
  EXPECT_EQ(root->presentedViewController(), reset);
  EXPECT_EQ(ui->frontmost(), reset);

  // The page's own dismissal closes nothing and still completes.
  auto pageDone = zttest::counter();
  page->dismiss(true, count(pageDone));
  advance(kDuration);
  EXPECT_EQ(*pageDone, 1);
  EXPECT_EQ(ui->frontmost(), reset);

  reset->dismiss(false);
  advance(kDuration);
  EXPECT_EQ(root->presentedViewController(), nullptr);
  EXPECT_EQ(ui->frontmost(), root);
}

// A window says it was hidden, shown, made key or left key only when that changed, on the main
// thread, naming itself.
TEST_F(Presentation, AWindowPostsItsChangesOnlyWhenTheyHappen) {
  auto other = std::make_unique<UI>();
  ui->window()->makeKeyAndVisible();
  auto heard = std::make_shared<std::vector<std::string>>();
  std::vector<std::shared_ptr<Foundation::NotificationObserver>> observers;
  auto& center = Foundation::NotificationCenter::defaultCenter();
  for (const auto& [name, said] : std::vector<std::pair<std::string, std::string>>{
           {UIWindow::didBecomeHiddenNotification, "hidden"},
           {UIWindow::didBecomeVisibleNotification, "visible"},
           {UIWindow::didBecomeKeyNotification, "key"},
           {UIWindow::didResignKeyNotification, "resigned"}}) {
    observers.push_back(center.addObserver(
        name, std::nullopt, nullptr,
        [heard, said = std::string(said), main = ui->window().get(),
         other = other->window().get()](const Foundation::Notification& note) {
          const void* window = note.object ? note.object->identity() : nullptr;
          const std::string who = window == main ? "main" : window == other ? "other" : "?";
          heard->push_back(who + " " + said +
                           (Foundation::Thread::isMainThread() ? "" : " off main"));
        }));
  }
  const std::vector<std::pair<std::function<void()>, std::vector<std::string>>> rows{
      {[&] { ui->window()->makeKeyAndVisible(); }, {}},
      {[&] { ui->window()->setHidden(false); }, {}},
      {[&] { ui->window()->setHidden(true); }, {"main hidden"}},
      {[&] { ui->window()->setHidden(true); }, {}},
      {[&] { other->window()->makeKeyAndVisible(); }, {"main resigned", "other key"}},
      {[&] { ui->window()->makeKeyAndVisible(); }, {"other resigned", "main key", "main visible"}},
      {[&] { other->window()->setHidden(true); }, {"other hidden"}},
  };
  for (std::size_t row = 0; row < rows.size(); ++row) {
    SCOPED_TRACE(row);
    heard->clear();
    rows[row].first();
    EXPECT_EQ(*heard, rows[row].second);
  }
  for (const auto& observer : observers) center.removeObserver(observer);
}

// Time is kept in whole nanoseconds: three steps of 0.1 s are exactly 0.3 s at any base, even
// where the sum in doubles falls short of it.
class ClockBase : public Presentation, public ::testing::WithParamInterface<double> {
 protected:
  void SetUp() override {
    clock_ = &PlatformTesting::ManualClock::installAt(GetParam());
    Presentation::SetUp();
  }
  void TearDown() override {
    Presentation::TearDown();
    PlatformTesting::ManualClock::uninstall();
    PlatformTesting::ManualClock::install();
  }
};

TEST_P(ClockBase, ThreeTenthsInStepsAreThreeTenths) {
  auto delayed = zttest::counter();
  Dispatch::DispatchQueue::main().asyncAfter(0.3, count(delayed));
  auto a = screen("a");
  root->present(a, true, nullptr);
  ui->settle();
  journal->clear();
  for (int step = 0; step < 3; ++step) advance(0.1);
  EXPECT_EQ(*delayed, 1);
  EXPECT_EQ(*journal, std::vector<std::string>{"a.didAppear"});
  EXPECT_EQ(clock_->uptimeNanoseconds() - RunLoopCore::toNanoseconds(GetParam()), 300000000);
}

// 1500, 3600 and one week are bases where b + 0.1 + 0.1 + 0.1 < b + 0.3 in doubles.
INSTANTIATE_TEST_SUITE_P(Presentation, ClockBase,
                         ::testing::Values(0.0, 1000.0, 1500.0, 3600.0, 123456.789, 604800.0));

TEST(ClockBaseTable, HoldsBasesWhereDoubleStepsFallShort) {
  int fallShort = 0;
  for (double base : {1500.0, 3600.0, 604800.0}) {
    volatile double stepped = base;
    for (int step = 0; step < 3; ++step) stepped = stepped + 0.1;
    fallShort += stepped < base + 0.3;
  }
  EXPECT_EQ(fallShort, 3);
}
