#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Testing/UI.hpp"
#include "UIKit/UIAlertController.hpp"
#include "UIKit/UIScreen.hpp"
#include "UIKit/UIViewController.hpp"
#include "UIKitTestSupport.hpp"
#include "support/LateCallbacks.hpp"

using namespace UIKit;
using PlatformTesting::UI;
using Style = UIAlertAction::Style;

namespace {

// Records its appearance callbacks, to tell whether it was covered.
class Presenter : public UIViewController {
 public:
  void viewWillDisappear(bool) override { ++disappearances; }
  int disappearances = 0;
};

class AlertActions : public uikittest::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    root = std::make_shared<Presenter>();
    ui = std::make_unique<UI>(root);
  }
  void TearDown() override {
    ui.reset();
    ClockTest::TearDown();
  }
  // A sheet like the capture screen's: where to take the photo from.
  std::shared_ptr<UIAlertController> sourceSheet() {
    auto sheet = std::make_shared<UIAlertController>("Add a document", std::nullopt,
                                                     UIAlertController::Style::actionSheet);
    for (const auto& [title, style] :
         {std::pair{"Cancel", Style::cancel}, std::pair{"Camera", Style::defaultStyle},
          std::pair{"Photo library", Style::defaultStyle}}) {
      sheet->addAction(std::make_shared<UIAlertAction>(
          std::string(title), style, [this, sheet = std::weak_ptr(sheet)](UIAlertAction& a) {
            chosen.push_back(*a.title());
            sheetGoneWhenHandled = !sheet.lock() || !sheet.lock()->presentingViewController();
            frontmostWhenHandled = ui->frontmost();
          }));
    }
    return sheet;
  }

  std::shared_ptr<Presenter> root;
  std::unique_ptr<UI> ui;
  std::vector<std::string> chosen;
  bool sheetGoneWhenHandled = false;
  std::shared_ptr<UIViewController> frontmostWhenHandled;
};

}  // namespace

TEST_F(AlertActions, ASheetsHandlerRunsOnceTheSheetHasClosed) {
  struct Case {
    const char* title;
    bool chosen;
  };
  const Case cases[] = {
      {"Camera", true}, {"Cancel", true}, {"Photo library", true}, {"Scanner", false}};
  for (const auto& c : cases) {
    chosen.clear();
    frontmostWhenHandled.reset();
    auto sheet = sourceSheet();
    root->present(sheet, true);
    advance(1);
    ASSERT_EQ(ui->frontmost(), sheet);
    EXPECT_EQ(ui->chooseAction(c.title), c.chosen) << c.title;
    EXPECT_TRUE(chosen.empty()) << "not before the sheet has gone: " << c.title;
    advance(1);
    if (!c.chosen) {
      EXPECT_EQ(ui->frontmost(), sheet);
      sheet->dismiss(false);
      advance(1);
      continue;
    }
    EXPECT_EQ(chosen, std::vector<std::string>{c.title});
    EXPECT_TRUE(sheetGoneWhenHandled) << c.title;
    EXPECT_EQ(frontmostWhenHandled, root) << c.title;
  }
  EXPECT_EQ(root->disappearances, 0);  // a sheet does not cover its presenter
}

TEST_F(AlertActions, AUserSeesTheTextsAndTheCancelActionLast) {
  auto sheet = sourceSheet();
  root->present(sheet, false);
  advance(1);
  EXPECT_EQ(ui->visibleTexts(),
            (std::vector<std::string>{"Add a document", "Camera", "Photo library", "Cancel"}));
  const CGRect box = sheet->view()->frame();
  EXPECT_EQ(box.maxY(), UIScreen::main().bounds().maxY() - UIAlertController::sheetMargin);
  EXPECT_EQ(box.height(), sheet->preferredContentSize().height);

  // An alert asks in the middle; its disabled action takes no tap.
  sheet->dismiss(false);
  advance(1);
  auto alert = std::make_shared<UIAlertController>("Delete the document?", "It cannot be undone.",
                                                   UIAlertController::Style::alert);
  auto deletes = zttest::counter();
  auto remove = std::make_shared<UIAlertAction>("Delete", Style::destructive,
                                                [deletes](UIAlertAction&) { ++*deletes; });
  remove->setEnabled(false);
  alert->addAction(remove);
  alert->addAction(std::make_shared<UIAlertAction>("Keep", Style::cancel));
  alert->addAction(std::make_shared<UIAlertAction>("Keep too", Style::cancel));  // refused
  EXPECT_EQ(alert->actions().size(), 2u);
  root->present(alert, false);
  advance(1);
  EXPECT_EQ(
      ui->visibleTexts(),
      (std::vector<std::string>{"Delete the document?", "It cannot be undone.", "Delete", "Keep"}));
  EXPECT_FALSE(ui->chooseAction("Delete"));
  advance(1);
  EXPECT_EQ(ui->frontmost(), alert);
  EXPECT_TRUE(ui->chooseAction("Keep"));  // no handler: it only closes
  advance(1);
  EXPECT_EQ(ui->frontmost(), root);
  EXPECT_EQ(*deletes, 0);
}

TEST_F(AlertActions, OnlyFullScreenMakesThePresenterDisappear) {
  struct Case {
    const char* name;
    std::function<std::shared_ptr<UIViewController>()> make;
    int disappearances;
  };
  auto styled = [](UIModalPresentationStyle style) {
    return [style] {
      auto c = std::make_shared<UIViewController>();
      c->setModalPresentationStyle(style);
      return std::shared_ptr<UIViewController>(c);
    };
  };
  const Case cases[] = {
      {"full screen", styled(UIModalPresentationStyle::fullScreen), 1},
      {"over full screen", styled(UIModalPresentationStyle::overFullScreen), 0},
      {"automatic", styled(UIModalPresentationStyle::automatic), 0},
      {"sheet", [this] { return sourceSheet(); }, 0},
  };
  for (const auto& c : cases) {
    root->disappearances = 0;
    auto completions = zttest::counter();
    root->present(c.make(), true, zttest::countUp(completions));
    EXPECT_EQ(*completions, 0) << c.name;  // after the transition, on the clock
    advance(UIViewController::transitionDuration);
    EXPECT_EQ(*completions, 1) << c.name;
    EXPECT_EQ(root->disappearances, c.disappearances) << c.name;
    EXPECT_EQ(root->view()->window(), ui->window()) << c.name;
    root->dismiss(false);
    advance(1);
  }
}
