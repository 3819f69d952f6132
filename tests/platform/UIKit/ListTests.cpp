#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "Testing/UI.hpp"
#include "UIKit/InterfaceBinder.hpp"
#include "UIKit/InterfaceRegistry.hpp"
#include "UIKit/UICollectionViewController.hpp"
#include "UIKit/UILabel.hpp"
#include "UIKit/UIRefreshControl.hpp"
#include "UIKit/UIScrollView.hpp"
#include "UIKit/UITableView.hpp"
#include "UIKit/UIViewController.hpp"
#include "UIKitTestSupport.hpp"

using namespace UIKit;
using PlatformTesting::UI;

namespace {

// A documents-list row from an interface file: outlets on the cell itself.
class DocumentCell : public UITableViewCell {
 public:
  using UITableViewCell::UITableViewCell;
  void bindInterface(InterfaceBinder& binder) override {
    binder.outlet("nameLabel", nameLabel);
    binder.outlet("statusLabel", statusLabel);
  }
  void awakeFromNib() override { awoke = nameLabel.lock() != nullptr; }
  void prepareForReuse() override { ++reused; }
  std::weak_ptr<UILabel> nameLabel;
  std::weak_ptr<UILabel> statusLabel;
  bool awoke = false;
  int reused = 0;
};
const bool registered = InterfaceRegistry::registerViewClass<DocumentCell>("TestDocumentCell");

class DocumentsScreen : public UIViewController,
                        public UITableViewDataSource,
                        public UITableViewDelegate {
 public:
  explicit DocumentsScreen(std::shared_ptr<Foundation::Bundle> bundle)
      : bundle_(std::move(bundle)) {}
  void viewDidLoad() override {
    table = std::make_shared<UITableView>(view()->bounds());
    table->registerNib(UINib("DocumentCell", bundle_), "document");
    table->setDataSource(std::weak_ptr<UITableViewDataSource>(sharedAs<DocumentsScreen>()));
    table->setDelegate(std::weak_ptr<UITableViewDelegate>(sharedAs<DocumentsScreen>()));
    auto footer = std::make_shared<UIView>(CGRect::make(0, 0, 10, 30));
    table->setTableFooterView(footer);
    view()->addSubview(table);
  }
  int numberOfRows(UITableView& /*table*/, int /*section*/) override {
    return static_cast<int>(names.size());
  }
  std::shared_ptr<UITableViewCell> cellForRow(UITableView& t, IndexPath path) override {
    auto cell = std::dynamic_pointer_cast<DocumentCell>(t.dequeueReusableCell("document", path));
    if (!cell) return nullptr;
    cell->nameLabel.lock()->setText(names[static_cast<std::size_t>(path.row)]);
    cell->statusLabel.lock()->setText("Pending");
    return cell;
  }
  void didSelectRow(UITableView& /*table*/, IndexPath path) override { chosen.push_back(path.row); }

  template <class T>
  std::shared_ptr<T> sharedAs() {
    return std::dynamic_pointer_cast<T>(shared_from_this());
  }

  std::vector<std::string> names{"Passport", "Driving licence", "ID card"};
  std::shared_ptr<UITableView> table;
  std::vector<int> chosen;

 private:
  std::shared_ptr<Foundation::Bundle> bundle_;
};

// The row a user sees a text in.
std::shared_ptr<UIView> rowShowing(const UI& ui, const std::string& text) {
  for (auto v = ui.findText(text); v; v = v->superview()) {
    if (std::dynamic_pointer_cast<UITableViewCell>(v)) return v;
  }
  return nullptr;
}

constexpr const char* kCellFile = R"({"objects": [
  {"class": "TestDocumentCell", "frame": [0, 0, 375, 60], "reuseIdentifier": "document",
   "subviews": [
     {"class": "UILabel", "outlet": "nameLabel", "frame": [16, 8, 250, 24]},
     {"class": "UILabel", "outlet": "statusLabel", "frame": [16, 32, 250, 20]}]}]})";

}  // namespace

TEST(Lists, ATableBuildsItsRowsFromAnInterfaceFileCellAndTellsWhichRowWasTapped) {
  PlatformTesting::ManualClock::install();
  uikittest::TestBundle files;
  files.write("DocumentCell.json", kCellFile);
  auto screen = std::make_shared<DocumentsScreen>(files.bundle());
  UI ui(screen);
  auto& table = *screen->table;
  ASSERT_EQ(table.numberOfRows(), 3);
  auto first = std::dynamic_pointer_cast<DocumentCell>(table.cellForRow({0, 0}));
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->awoke);
  EXPECT_EQ(first->reuseIdentifier(), "document");
  EXPECT_EQ(ui.visibleTexts(), (std::vector<std::string>{"Passport", "Pending", "Driving licence",
                                                         "Pending", "ID card", "Pending"}));
  EXPECT_EQ(table.tableFooterView()->frame().minY(), 3 * UITableView::defaultRowHeight);

  struct Case {
    const char* text;
    std::vector<int> chosen;
  };
  const Case taps[] = {{"Driving licence", {1}}, {"Passport", {1, 0}}};
  for (const auto& c : taps) {
    EXPECT_TRUE(ui.tap(rowShowing(ui, c.text))) << c.text;
    EXPECT_EQ(screen->chosen, c.chosen) << c.text;
  }
  EXPECT_EQ(table.indexPathForSelectedRow(), (IndexPath{0, 0}));

  // Reloading asks again and hands the same cells out again.
  screen->names = {"Residence permit"};
  table.reloadData();
  EXPECT_EQ(table.numberOfRows(), 1);
  EXPECT_EQ(
      first->reused + std::dynamic_pointer_cast<DocumentCell>(table.cellForRow({0, 0}))->reused, 1);
  EXPECT_EQ(ui.visibleTexts(), (std::vector<std::string>{"Residence permit", "Pending"}));
}

namespace {
class PageCell : public UICollectionViewCell {
 public:
  using UICollectionViewCell::UICollectionViewCell;
};

// An onboarding-like pager: full-screen pages side by side.
class Pager : public UICollectionViewController {
 public:
  Pager() : UICollectionViewController(makeLayout()) {}
  static std::shared_ptr<UICollectionViewFlowLayout> makeLayout() {
    auto layout = std::make_shared<UICollectionViewFlowLayout>();
    layout->setScrollDirection(UICollectionViewFlowLayout::ScrollDirection::horizontal);
    layout->setMinimumLineSpacing(0);
    return layout;
  }
  void viewDidLoad() override {
    collectionView()->registerClass<PageCell>("page");
    collectionView()->setPagingEnabled(true);
  }
  int numberOfItems(UICollectionView& /*view*/, int /*section*/) override { return pages; }
  std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView& view,
                                                    IndexPath path) override {
    auto cell = view.dequeueReusableCell("page", path);
    if (!cell) return cell;
    framesAtDequeue.push_back(cell->frame());
    // Every page has a title of the same name, as pages made from one file do.
    auto title = std::make_shared<UILabel>(CGRect::make(16, 16, 200, 30));
    title->setAccessibilityIdentifier("pageTitle");
    title->setText("Page " + std::to_string(path.row));
    cell->addSubview(title);
    return cell;
  }
  std::optional<CGSize> sizeForItem(UICollectionView& view, const UICollectionViewFlowLayout&,
                                    IndexPath) override {
    return view.bounds().size;
  }
  void scrollViewWillEndDragging(UIScrollView& /*view*/, CGPoint velocity,
                                 CGPoint& target) override {
    velocities.push_back(velocity);
    if (overrideTarget) target = *overrideTarget;
  }
  int pages = 4;
  std::optional<CGPoint> overrideTarget;
  std::vector<CGPoint> velocities;
  std::vector<CGRect> framesAtDequeue;
};
}  // namespace

TEST(Lists, ACollectionIsPagedByDraggingAndTheDelegateMayMoveTheTarget) {
  auto& clock = PlatformTesting::ManualClock::install();
  auto pager = std::make_shared<Pager>();
  UI ui(pager);
  auto view = pager->collectionView();
  ASSERT_EQ(view->numberOfItems(), 4);
  EXPECT_EQ(view->contentSize(), (CGSize{4 * 375, 812}));
  // A dequeued cell already has its item's frame, so the data source can size its content.
  ASSERT_EQ(pager->framesAtDequeue.size(), 4u);
  EXPECT_EQ(pager->framesAtDequeue[3], CGRect::make(3 * 375, 0, 375, 812));

  struct Case {
    CGFloat dragTo;
    std::optional<CGPoint> target;
    CGFloat restsAt;
  };
  const Case cases[] = {
      {200, std::nullopt, 375},       // past half a page: the next one
      {500, std::nullopt, 375},       // short of half the next: back
      {1000, std::nullopt, 1125},     // the nearest page
      {5000, std::nullopt, 3 * 375},  // beyond the end: the last page
      {-400, std::nullopt, 0},
      {300, CGPoint{750, 0}, 750},                                      // the delegate's own target
      {200, CGPoint{99999, 0}, 1125},                                   // kept inside the content
      {100, CGPoint{std::numeric_limits<CGFloat>::quiet_NaN(), 0}, 0},  // ignored
  };
  for (const auto& c : cases) {
    pager->overrideTarget = c.target;
    const bool dragged = ui.drag(view, {c.dragTo, 0});
    EXPECT_TRUE(dragged) << c.dragTo;
    EXPECT_EQ(view->contentOffset(), (CGPoint{c.restsAt, 0})) << c.dragTo;
    EXPECT_FALSE(view->isDragging());
  }
  EXPECT_EQ(pager->velocities.back(), (CGPoint{}));  // no time passed on the clock
  EXPECT_FALSE(ui.drag(view, {std::numeric_limits<CGFloat>::infinity(), 0}));
  view->setScrollEnabled(false);
  EXPECT_FALSE(ui.drag(view, {375, 0}));
  EXPECT_EQ(view->contentOffset(), (CGPoint{}));
  view->setScrollEnabled(true);
  view->scrollToItem({9, 0}, UICollectionView::ScrollPosition::centeredHorizontally, false);
  EXPECT_EQ(view->contentOffset(), (CGPoint{}));  // past the last item: stays
  (void)clock;
}

TEST(Lists, AVerticalListDraggedPastEitherEndRestsAtItsEdgeWithTheInsets) {
  PlatformTesting::ManualClock::install();
  UI ui;
  // Taller than wide, so the vertical limit cannot pass for the horizontal one.
  auto list = std::make_shared<UIScrollView>(ui.root()->view()->bounds());
  ASSERT_GT(list->bounds().height(), list->bounds().width());
  list->setContentSize({list->bounds().width(), 2000});
  ui.root()->view()->addSubview(list);
  const CGFloat height = list->bounds().height();

  struct Case {
    UIEdgeInsets inset;
    CGFloat dragTo;
    CGFloat restsAt;
  };
  const Case cases[] = {
      {{}, 5000, 2000 - height},
      {{0, 0, 50, 0}, 5000, 2000 + 50 - height},
      {{0, 0, 50, 0}, 600, 600},
      {{20, 0, 50, 0}, -300, -20},
      {{}, -300, 0},
  };
  for (const auto& c : cases) {
    list->setContentInset(c.inset);
    EXPECT_TRUE(ui.drag(list, {0, c.dragTo})) << c.dragTo;
    EXPECT_EQ(list->contentOffset(), (CGPoint{0, c.restsAt}))
        << c.dragTo << " with bottom inset " << c.inset.bottom;
  }
}

TEST(Lists, ADragGoesToTheScrollViewThatScrollsAlongIt) {
  PlatformTesting::ManualClock::install();
  UI ui;
  // A horizontal pager of two pages, each a tall vertical form.
  auto pager = std::make_shared<UIScrollView>(ui.root()->view()->bounds());
  pager->setContentSize({2 * 375, 812});
  pager->setPagingEnabled(true);
  std::vector<std::shared_ptr<UIScrollView>> forms;
  for (int page = 0; page < 2; ++page) {
    forms.push_back(std::make_shared<UIScrollView>(CGRect::make(page * 375, 0, 375, 812)));
    forms.back()->setContentSize({375, 2000});
    pager->addSubview(forms.back());
  }
  ui.root()->view()->addSubview(pager);

  struct Case {
    const char* drag;
    std::shared_ptr<UIScrollView> dragged;
    CGPoint to;
    bool taken;  // by the view dragged
    CGFloat pagerX, secondFormY;
  };
  const Case cases[] = {
      {"across a form", pager, {375, 0}, true, 375, 0},
      {"along a form", forms[1], {0, 300}, true, 375, 300},
      {"along the pager's fixed axis", pager, {375, 200}, false, 375, 500},
      {"back across", pager, {0, 0}, true, 0, 500},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ui.drag(c.dragged, c.to), c.taken) << c.drag;
    EXPECT_EQ(pager->contentOffset(), (CGPoint{c.pagerX, 0})) << c.drag;
    EXPECT_EQ(forms[1]->contentOffset(), (CGPoint{0, c.secondFormY})) << c.drag;
    EXPECT_EQ(forms[0]->contentOffset(), (CGPoint{})) << c.drag;
  }
}

TEST(Lists, OfPagesSideBySideTheUserSeesAndFindsTheOneInView) {
  PlatformTesting::ManualClock::install();
  auto pager = std::make_shared<Pager>();
  UI ui(pager);
  auto view = pager->collectionView();
  struct Case {
    CGFloat dragTo;
    std::string shown;
  };
  for (const auto& c : {Case{0, "Page 0"}, Case{375, "Page 1"}, Case{1125, "Page 3"}}) {
    if (c.dragTo > 0) {
      ASSERT_TRUE(ui.drag(view, {c.dragTo, 0}));
    }
    EXPECT_EQ(ui.visibleTexts(), std::vector<std::string>{c.shown});
    auto title = ui.findVisible<UILabel>("pageTitle");
    ASSERT_TRUE(title) << c.shown;
    EXPECT_EQ(title->text(), c.shown);
  }
  ui.findVisible("pageTitle")->setHidden(true);
  EXPECT_FALSE(ui.findVisible("pageTitle"));
  EXPECT_TRUE(ui.find("pageTitle"));  // hidden or out of view, it is still there
}

TEST(Lists, AFlowLayoutFillsLinesAndWrapsThem) {
  auto layout = std::make_shared<UICollectionViewFlowLayout>();
  layout->setItemSize({100, 50});
  layout->setMinimumInteritemSpacing(10);
  layout->setMinimumLineSpacing(20);
  layout->setItemSize({-1, 5});  // ignored
  UICollectionView view(CGRect::make(0, 0, 320, 400), layout);
  const auto placed = layout->place(view, 4);
  const std::vector<CGRect> expected{CGRect::make(0, 0, 100, 50), CGRect::make(110, 0, 100, 50),
                                     CGRect::make(220, 0, 100, 50), CGRect::make(0, 70, 100, 50)};
  EXPECT_EQ(placed.frames, expected);
  EXPECT_EQ(placed.contentSize, (CGSize{320, 120}));
}

namespace {
struct Refresher {
  int pulls = 0;
  void pulled() { ++pulls; }
};

struct RefreshedTable {
  std::shared_ptr<UITableView> table;
  std::shared_ptr<UIRefreshControl> refresh = std::make_shared<UIRefreshControl>();
  std::shared_ptr<Refresher> refresher = std::make_shared<Refresher>();
};

// A table filling the window whose refresh control counts the pulls; `asSubview` adds the
// control as the table's subview instead of setting it.
RefreshedTable refreshedTable(UI& ui, bool asSubview) {
  RefreshedTable made{std::make_shared<UITableView>(ui.root()->view()->bounds())};
  made.refresh->addTarget(made.refresher, &Refresher::pulled, UIControl::Event::valueChanged);
  if (asSubview)
    made.table->addSubview(made.refresh);
  else
    made.table->setRefreshControl(made.refresh);
  ui.root()->view()->addSubview(made.table);
  return made;
}
}  // namespace

TEST(Lists, PullingATableDownFarEnoughRefreshesItOnce) {
  PlatformTesting::ManualClock::install();
  UI ui;
  const auto [table, refresh, refresher] = refreshedTable(ui, false);

  struct Case {
    CGFloat pullTo;
    int pulls;
  };
  const Case cases[] = {{-30, 0}, {-80, 1}, {-80, 1} /* already refreshing */};
  for (const auto& c : cases) {
    EXPECT_TRUE(ui.drag(table, {0, c.pullTo}));
    EXPECT_EQ(refresher->pulls, c.pulls) << c.pullTo;
    EXPECT_EQ(table->contentOffset(), (CGPoint{}));
  }
  EXPECT_TRUE(refresh->isRefreshing());
  refresh->endRefreshing();
  ui.drag(table, {0, -100});
  EXPECT_EQ(refresher->pulls, 2);
}

TEST(Lists, ARefreshControlAddedAsASubviewIsTheTablesOwnAndAPullRefreshesIt) {
  PlatformTesting::ManualClock::install();
  UI ui;
  const auto [table, refresh, refresher] = refreshedTable(ui, true);
  EXPECT_EQ(table->refreshControl(), refresh);

  EXPECT_TRUE(ui.pullToRefresh(table));
  EXPECT_EQ(refresher->pulls, 1);
  refresh->endRefreshing();
  refresh->removeFromSuperview();
  EXPECT_EQ(table->refreshControl(), nullptr);
  ui.pullToRefresh(table);
  EXPECT_EQ(refresher->pulls, 1) << "a removed control hears no pull";
}
