#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <UIKit/UIImageView.hpp>
#include <UIKit/UIScreen.hpp>

#include "CardsSupport.hpp"
#include "ZTModalScopesView/ZTModalScopesRequestPresenter.hpp"
#include "kit/OAuth/OAuthFlowSupport.hpp"

using namespace ZentrelSDK;
using namespace cardstest;
using namespace oauthtest;
using sandbox::SkipPolicy;

namespace {

class ConsentCardTest : public OAuthFlowTest {
 protected:
  void SetUp() override {
    OAuthFlowTest::SetUp();
    sb().setSkip(kApp, SkipPolicy::Always, SkipPolicy::Never);
  }
  void TearDown() override {
    OAuthFlowTest::TearDown();
    UIKit::UIView::setAnimationsEnabled(false);
    UIKit::UIScreen::main().setBounds(UIKit::CGRect::make(0, 0, 375, 812));
  }

  std::shared_ptr<ZTModalScopesViewController> card() const {
    return std::dynamic_pointer_cast<ZTModalScopesViewController>(ui->frontmost());
  }
  // The card for `scopes`, shown by the presenter as the flow shows it.
  std::shared_ptr<ZTModalScopesViewController> show(const std::vector<std::string>& scopes) {
    ZTModalScopesRequestPresenter::shared()->showModal(
        scopes, [this](bool allowed) { answers.push_back(allowed); });
    ui->settle();
    return card();
  }
  std::vector<std::string> rowsOnScreen() const {
    std::vector<std::string> rows;
    auto shown = card();
    if (!shown) return rows;
    for (const auto& cell : shown->tableView.lock()->visibleCells())
      rows.push_back(cell->textLabel()->text().value_or(""));
    return rows;
  }

  std::vector<bool> answers;
};

}  // namespace

TEST_F(ConsentCardTest, ListsEachRequestedScopeByItsDescriptionOrItsText) {
  struct Case {
    std::vector<std::string> scopes;
    std::vector<std::string> rows;
  };
  const std::vector<Case> cases{
      {kSeedScopes, kSeedRows},
      {{"user:email:read", "profile:nickname:read", "user:phone:read"},
       {"Read email", "profile:nickname:read", "Read phone number"}},
      {{"User:email:read", "documents:all"}, {"User:email:read", "documents:all"}},
      {{"wallet:accounts:read", "wallet:accounts:read"},
       {"Read information about wallet", "Read information about wallet"}},
      {{}, {}},
  };
  for (const auto& c : cases) {
    auto shown = show(c.scopes);
    ASSERT_TRUE(shown);
    EXPECT_EQ(rowsOnScreen(), c.rows);
    for (const auto& cell : shown->tableView.lock()->visibleCells()) {
      EXPECT_TRUE(cell->imageView()->image());
      EXPECT_TRUE(cell->textLabel()->adjustsFontSizeToFitWidth());
    }
    ui->tap(button("Cancel"));
    ui->settle();
  }
  EXPECT_EQ(answers, std::vector<bool>(cases.size(), false));
}

TEST_F(ConsentCardTest, UndescribedScopesAreShownAndGrantedOnTheRoad) {
  const std::vector<std::string> requested{"user:email:read", "profile:nickname:read"};
  sb().addApp({kApp, requested, std::nullopt, SkipPolicy::Always, SkipPolicy::Never});
  signIn();
  Reply reply;
  reply.request();
  EXPECT_EQ(answerConsent(true), (std::vector<std::string>{"Read email", "profile:nickname:read"}));
  ASSERT_TRUE(ui->runUntil([&] { return reply.answers > 0; }, 20));
  EXPECT_TRUE(reply.user);
  EXPECT_EQ(nlohmann::json::parse(sb().requests("oauth.consent.post").at(0).body)["grantScopes"],
            nlohmann::json(requested));
}

TEST_F(ConsentCardTest, TableFitsItsRowsOnTheScreenAndNeverGoesNegative) {
  struct Case {
    UIKit::CGFloat screenHeight;
    int rows;
    UIKit::CGFloat tableHeight;
    bool scrolls;
  };
  const std::vector<Case> cases{
      {812, 0, 0, false},  {812, 3, 132, false}, {812, 4, 176, true},
      {812, 8, 352, true}, {812, 9, 368, true},  {488, 3, 44, false},
      {444, 2, 0, false},  {400, 5, 0, true},    {300, 0, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.screenHeight) + " points, " + std::to_string(c.rows) + " rows");
    ui.reset();
    UIKit::UIScreen::main().setBounds(UIKit::CGRect::make(0, 0, 375, c.screenHeight));
    ui = std::make_unique<PlatformTesting::UI>();
    auto shown = show(std::vector<std::string>(c.rows, "user:email:read"));
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->tableViewHeightValue(), c.tableHeight);
    ASSERT_TRUE(shown->tableViewHeight);
    EXPECT_EQ(shown->tableViewHeight->constant(), c.tableHeight);
    auto table = shown->tableView.lock();
    EXPECT_EQ(table->frame().height(), c.tableHeight);
    EXPECT_EQ(table->alwaysBounceVertical(), c.scrolls);
    ASSERT_EQ(shown->gradientViews.size(), 2u);
    for (const auto& gradient : shown->gradientViews)
      EXPECT_EQ(gradient.lock()->isHidden(), !c.scrolls);
    // The buttons stay on the card, below the table.
    auto allow = shown->allowButton.lock();
    EXPECT_GE(allow->frame().minY(), table->frame().maxY());
    EXPECT_TRUE(ui->tap(allow));
  }
}

TEST_F(ConsentCardTest, AnswersOnceAfterTheCardHasGoneThoughNothingKeepsIt) {
  UIKit::UIView::setAnimationsEnabled(true);
  struct Case {
    const char* button;
    bool answer;
  };
  for (const auto& c : {Case{"Allow", true}, Case{"Cancel", false}}) {
    SCOPED_TRACE(c.button);
    struct Heard {
      std::vector<bool> answers;
      bool cardGoneWhenHeard = false;
      std::weak_ptr<ZTModalScopesViewController> card;
    };
    auto heard = std::make_shared<Heard>();
    ZTModalScopesRequestPresenter::shared()->showModal(kSeedScopes, [heard](bool allowed) {
      heard->answers.push_back(allowed);
      auto shown = heard->card.lock();
      heard->cardGoneWhenHeard = !shown || !shown->presentingViewController();
    });
    auto shown = card();
    ASSERT_TRUE(shown);
    heard->card = shown;
    // Over the current context with a cross dissolve, animated.
    EXPECT_EQ(shown->modalPresentationStyle(), UIKit::UIModalPresentationStyle::overCurrentContext);
    EXPECT_EQ(shown->modalTransitionStyle(), UIKit::UIModalTransitionStyle::crossDissolve);
    EXPECT_TRUE(shown->isBeingPresented());
    ui->advance(UIKit::UIViewController::transitionDuration);
    EXPECT_FALSE(shown->isBeingPresented());
    shown.reset();

    ASSERT_TRUE(ui->tap(button(c.button)));
    ui->settle();
    ASSERT_EQ(heard->answers, std::vector<bool>{c.answer});
    EXPECT_TRUE(heard->cardGoneWhenHeard);
    EXPECT_TRUE(heard->card.expired()) << "the card outlived its answer";
    EXPECT_FALSE(card());
  }
}

TEST_F(ConsentCardTest, ASecondButtonWhileClosingIsNotASecondAnswer) {
  auto shown = show(kSeedScopes);
  ASSERT_TRUE(shown);
  auto allow = shown->allowButton.lock();
  shown->allowAction(*allow);
  shown->cancelAction(*allow);
  shown.reset();
  ui->settle();
  EXPECT_EQ(answers, std::vector<bool>{true});
}

TEST_F(ConsentCardTest, WithoutATopmostControllerTheAnswerIsNo) {
  ui = std::make_unique<PlatformTesting::UI>(nullptr);
  ZTModalScopesRequestPresenter::shared()->showModal(
      kSeedScopes, [this](bool allowed) { answers.push_back(allowed); });
  EXPECT_TRUE(answers.empty()) << "answered inline";
  ui->settle();
  EXPECT_EQ(answers, std::vector<bool>{false});

  // The flow ends with the host's error instead of waiting for a card.
  signIn();
  Reply reply;
  reply.request();
  ASSERT_TRUE(ui->runUntil([&] { return reply.answers > 0; }, 20));
  EXPECT_EQ(reply.error, ZTOAuthError(0, "Access denied"));
  EXPECT_EQ(sb().count("oauth.consent.get"), 1u);
  EXPECT_EQ(sb().count("oauth.consent.post"), 0u);
}

TEST_F(ConsentCardTest, OpensOverTheControllerPresentedLast) {
  auto shownByHost = std::make_shared<UIKit::UIViewController>();
  ui->root()->present(shownByHost, false);
  ui->settle();
  auto shown = show(kSeedScopes);
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->presentingViewController(), shownByHost);
  ASSERT_TRUE(ui->tap(button("Allow")));
  ui->settle();
  EXPECT_EQ(answers, std::vector<bool>{true});
  EXPECT_EQ(ui->frontmost(), shownByHost);
}
