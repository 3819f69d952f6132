#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <Foundation/Thread.hpp>
#include <Testing/ManualClock.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UICollectionViewFlowLayout.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UITextField.hpp>
#include <UIKit/UIView.hpp>

#include "ZTAccounts.hpp"
#include "ZTAuth/Entrance/ZTCollectionViewController.hpp"
#include "ZTAuth/Entrance/ZTEntranceViewController.hpp"
#include "ZTAuth/Entrance/ZTEntranceViewModel.hpp"
#include "ZTEventCore.hpp"
#include "ZTEvents.hpp"
#include "ZTEventsRegistration.hpp"
#include "ZTUtilites/ZTUIConstants.hpp"

using namespace ZentrelSDK;
using UIKit::CGAffineTransform;

namespace {

class EntranceTest : public ::testing::Test {
 protected:
  // Animated: the entrance closes on the clock.
  static void SetUpTestSuite() {
    UIKit::UIView::setAnimationsEnabled(true);
    PlatformTesting::ManualClock::install();
  }

  std::shared_ptr<ZTEntranceViewController> entrance() const {
    return std::dynamic_pointer_cast<ZTEntranceViewController>(ui.frontmost());
  }
  std::shared_ptr<UIKit::UILabel> label(const std::string& name) const {
    return ui.find<UIKit::UILabel>(name);
  }

  PlatformTesting::UI ui;
};

TEST_F(EntranceTest, AuthPresentsTheEntranceOnTheLoginTabWhateverTheBiometricsFlag) {
  for (bool biometrics : {false, true}) {
    SCOPED_TRACE(biometrics);
    ASSERT_TRUE(ZTAccounts::auth(biometrics));
    ui.settle();
    ASSERT_TRUE(entrance());
    EXPECT_EQ(entrance()->modalPresentationStyle(),
              UIKit::UIModalPresentationStyle::overCurrentContext);
    EXPECT_EQ(label("loginLabelTab")->textColor(), ZTUIConstants::MAIN_COLOR());
    EXPECT_EQ(label("signUpLabelTab")->textColor(), ZTUIConstants::TEXT_BLACK_COLOR());
    EXPECT_TRUE(ui.find<UIKit::UIImageView>("logoViewImage")->image());
    ui.root()->dismiss(false);
    ui.advance(1);
    ui.settle();
    EXPECT_FALSE(entrance());
  }
}

TEST_F(EntranceTest, TabTapsSwapTheColoursAndMoveTheUnderline) {
  ZTAccounts::auth();
  ui.settle();
  auto login = label("loginLabelTab");
  auto signUp = label("signUpLabelTab");
  auto line = ui.find("swipableLineView");
  ASSERT_TRUE(login && signUp && line);
  const double scale = signUp->frame().size.width / login->frame().size.width;
  const double tx = signUp->frame().origin.x - login->frame().origin.x / scale + 2 * scale;

  struct Row {
    std::shared_ptr<UIKit::UILabel> tab;
    bool loginSelected;
    CGAffineTransform transform;
  };
  for (const auto& row : std::vector<Row>{
           {signUp, false,
            CGAffineTransform::scale(scale, 1).concatenating(
                CGAffineTransform::translation(tx, 0))},
           {login, true, CGAffineTransform::identity()},
           {login, true, CGAffineTransform::identity()},
       }) {
    ASSERT_TRUE(ui.tap(row.tab));
    ui.advance(0.3);
    ui.settle();
    EXPECT_EQ(login->textColor(),
              row.loginSelected ? ZTUIConstants::MAIN_COLOR() : ZTUIConstants::TEXT_BLACK_COLOR());
    EXPECT_EQ(signUp->textColor(),
              row.loginSelected ? ZTUIConstants::TEXT_BLACK_COLOR() : ZTUIConstants::MAIN_COLOR());
    EXPECT_EQ(line->transform(), row.transform);
  }
}

TEST_F(EntranceTest, OneSignInClosesTheEntranceThenAnswersEveryCallerWithOneAuthEvent) {
  // Callers the entrance keeps until a sign-in, also past an early return.
  auto first = std::make_shared<std::vector<bool>>();
  auto second = std::make_shared<std::vector<bool>>();
  ASSERT_TRUE(ZTAccounts::auth(false, [first](bool ok) { first->push_back(ok); }));
  ui.settle();
  auto shown = entrance();
  ASSERT_TRUE(shown);
  ASSERT_TRUE(ZTAccounts::auth(true, [second](bool ok) { second->push_back(ok); }));
  ui.settle();
  EXPECT_EQ(entrance(), shown) << "a second caller joins the entrance already up";

  int authEvents = 0;
  bool closedWhenHeard = false;
  ZTEventsRegistration listener(&authEvents);
  ZTEvents::shared()->authEventListen(&authEvents, [&] {
    ++authEvents;
    closedWhenHeard = !ui.root()->presentedViewController();
  });
  int cancels = 0;  // counted where posted
  ZTEventCore::on(&authEvents, "AUTH_DID_CANCELLED", std::nullopt, nullptr,
                  [&](const auto&) { ++cancels; });

  ZTEvents::shared()->userDidEnterEmit();  // as a page does after its sign-in
  ui.settle();
  EXPECT_EQ(authEvents, 0) << "emitted before the entrance closed";
  ASSERT_TRUE(ui.runUntil(
      [&] {
        ui.advance(0.1);
        return !first->empty() && !second->empty();
      },
      5));
  EXPECT_EQ(*first, std::vector<bool>{true});
  EXPECT_EQ(*second, std::vector<bool>{true});
  EXPECT_EQ(authEvents, 1);
  EXPECT_TRUE(closedWhenHeard);
  EXPECT_EQ(cancels, 0);

  ZTEvents::shared()->userDidEnterEmit();
  ui.advance(1);
  ui.settle();
  EXPECT_EQ(authEvents, 1);
  EXPECT_EQ(first->size(), 1u);
}

TEST_F(EntranceTest, AGoneEntranceAnswersItsCallerFalseAndLeavesNoListenerBehind) {
  auto answers = std::make_shared<std::vector<bool>>();
  auto onMain = std::make_shared<bool>(true);
  ZTAccounts::auth(false, [answers, onMain](bool ok) {
    answers->push_back(ok);
    *onMain = *onMain && Foundation::Thread::isMainThread();
  });
  ui.settle();
  std::weak_ptr<ZTEntranceViewController> gone = entrance();
  ASSERT_FALSE(gone.expired());
  ui.root()->dismiss(false);  // by the host, without a sign-in
  ui.advance(1);
  ui.settle();
  ASSERT_TRUE(gone.expired());
  ASSERT_TRUE(ui.runUntil([&] { return !answers->empty(); }, 5));
  EXPECT_TRUE(*onMain);

  int authEvents = 0;
  ZTEventsRegistration listener(&authEvents);
  ZTEvents::shared()->authEventListen(&authEvents, [&] { ++authEvents; });
  ZTEvents::shared()->userDidEnterEmit();
  ui.advance(1);
  ui.settle();
  EXPECT_EQ(authEvents, 0);
  EXPECT_EQ(*answers, std::vector<bool>{false});
}

TEST(EntranceWithoutScreenTest, AuthWithoutATopmostControllerAnswersFalse) {
  PlatformTesting::UI ui(nullptr);
  auto answers = std::make_shared<std::vector<bool>>();
  EXPECT_FALSE(ZTAccounts::auth(false, [answers](bool ok) { answers->push_back(ok); }));
  ui.settle();
  EXPECT_EQ(*answers, std::vector<bool>{false});
  EXPECT_FALSE(ui.frontmost());
}

// The entrance view model as the page collection sees it: records the reported pages.
class PageListener : public ZTTabbedEntranceViewModel {
 public:
  std::shared_ptr<ZTTabbedEntranceParentMainView> parentViewController() const override {
    return nullptr;
  }
  void setParentViewController(std::weak_ptr<ZTTabbedEntranceParentMainView>) override {}
  void setupParentViewController(std::shared_ptr<ZTTabbedEntranceParentMainView>) override {}
  void setupCollectionViewController(UIKit::CGRect) override {}
  void appendToCollectionView(std::shared_ptr<UIKit::UIViewController>) override {}
  void scrollTo(int) override {}
  void collectionDidScroll(int pageIndex) override { reported.push_back(pageIndex); }
  std::vector<int> reported;
};

class PageCollectionTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { PlatformTesting::ManualClock::install(); }
  void SetUp() override {
    auto layout = std::make_shared<UIKit::UICollectionViewFlowLayout>();
    layout->setScrollDirection(UIKit::UICollectionViewFlowLayout::ScrollDirection::horizontal);
    layout->setMinimumLineSpacing(0);
    collection = std::make_shared<ZTCollectionViewController>(layout);
    collection->setDelegate(listener);
    for (int i = 0; i < 2; ++i) {
      pages.push_back(std::make_shared<UIKit::UIViewController>());
      collection->addPage(pages.back());
    }
    field = std::make_shared<UIKit::UITextField>(UIKit::CGRect::make(10, 10, 200, 40));
    pages[0]->view()->addSubview(field);
    ui = std::make_unique<PlatformTesting::UI>(collection);
    ui->settle();
    width = collection->view()->frame().size.width;
  }

  std::shared_ptr<PageListener> listener = std::make_shared<PageListener>();
  std::shared_ptr<ZTCollectionViewController> collection;
  std::vector<std::shared_ptr<UIKit::UIViewController>> pages;
  std::shared_ptr<UIKit::UITextField> field;
  std::unique_ptr<PlatformTesting::UI> ui;
  double width = 0;
};

TEST_F(PageCollectionTest, EachPageFillsItsCellInOrder) {
  auto view = collection->collectionView();
  ASSERT_EQ(view->numberOfItems(), 2);
  for (int i = 0; i < 2; ++i) {
    auto cell = view->cellForItem({i, 0});
    ASSERT_TRUE(cell);
    EXPECT_EQ(pages[static_cast<std::size_t>(i)]->view()->superview().get(), cell.get());
    EXPECT_EQ(pages[static_cast<std::size_t>(i)]->view()->frame(), cell->bounds());
  }
}

TEST_F(PageCollectionTest, DragsReportThePageTheyComeToRestOn) {
  struct Row {
    double target;
    int page;
  };
  for (const auto& row : std::vector<Row>{{width, 1}, {0, 0}, {width * 0.8, 1}, {width * 5, 1}}) {
    listener->reported.clear();
    ASSERT_TRUE(ui->drag(collection->collectionView(), {row.target, 0})) << row.target;
    EXPECT_EQ(listener->reported, std::vector<int>{row.page}) << row.target;
  }
}

TEST_F(PageCollectionTest, OffsetsWithoutAPageReportNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Row {
    double offset;
    std::optional<int> page;
  };
  for (const auto& row : std::vector<Row>{
           {nan, std::nullopt}, {inf, std::nullopt}, {-width, 0}, {1e300, 1}, {width * 1.5, 1}}) {
    EXPECT_EQ(collection->pageIndex(row.offset), row.page) << row.offset;
  }
  collection->view()->setFrame(UIKit::CGRect::make(0, 0, 0, 400));
  EXPECT_EQ(collection->pageIndex(0), std::nullopt);
  EXPECT_EQ(collection->pageIndex(width), std::nullopt);
}

TEST_F(PageCollectionTest, ScrollsEndEditingAndIgnorePagesThatDoNotExist) {
  ASSERT_TRUE(ui->type("a", field));
  ASSERT_TRUE(field->isFirstResponder());
  collection->scroll(1);
  ui->advance(1);
  ui->settle();
  EXPECT_FALSE(field->isFirstResponder());
  EXPECT_EQ(collection->collectionView()->contentOffset().x, width);
  for (int missing : {2, -1}) {
    collection->scroll(missing);
    ui->advance(1);
    ui->settle();
    EXPECT_EQ(collection->collectionView()->contentOffset().x, width) << missing;
  }
}

}  // namespace
