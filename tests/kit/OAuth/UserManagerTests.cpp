#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <UIKit/UIViewController.hpp>
#include <UIKit/UIWindow.hpp>

#include "OAuthFlowSupport.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserDataResponse.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "ZTUserManager.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"
#include "support/PassingWindowChanges.hpp"

using namespace ZentrelSDK;
using namespace oauthtest;
using sandbox::Fault;
using sandbox::SkipPolicy;

namespace {

// One data request's outcome, kept as long as its callbacks live.
struct UserReply {
  struct Heard {
    std::vector<ZTUserDataResponse> users;
    std::vector<ZTOAuthError> errors;
    bool onMain = true;
  };
  std::shared_ptr<Heard> heard = std::make_shared<Heard>();
  std::vector<ZTUserDataResponse>& users = heard->users;
  std::vector<ZTOAuthError>& errors = heard->errors;
  bool& onMain = heard->onMain;
  void request() {
    ZTUserManager::request<ZTUserDataResponse>(
        ZTPublicConstants::getUserEndpoint(),
        [heard = heard](ZTUserDataResponse user) {
          heard->users.push_back(std::move(user));
          heard->onMain = heard->onMain && Foundation::Thread::isMainThread();
        },
        [heard = heard](ZTOAuthError error) {
          heard->errors.push_back(std::move(error));
          heard->onMain = heard->onMain && Foundation::Thread::isMainThread();
        });
  }
  bool answered() const { return users.size() + errors.size() > 0; }
};

}  // namespace

class UserManagerTest : public OAuthFlowTest {
 protected:
  void TearDown() override {
    UIKit::UIView::setAnimationsEnabled(false);  // a row stopped half-way may have left them on
    OAuthFlowTest::TearDown();
  }
  bool wait(const UserReply& reply) {
    return runUntil([&] { return reply.answered(); }, 20);
  }
};

TEST_F(UserManagerTest, ReadsTheUserAfterThePermissionStep) {
  signIn();
  UserReply reply;
  reply.request();
  ASSERT_TRUE(wait(reply));
  ASSERT_EQ(reply.users.size(), 1u);
  EXPECT_TRUE(reply.errors.empty());
  EXPECT_TRUE(reply.onMain);
  EXPECT_EQ(reply.users[0].email, kUser);

  const auto read = sb().requests("api.user");
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].header("Authorization"),
            "Bearer " + ZTTokenUtilites::shared()->getOAuthToken().value_or("?"));
  EXPECT_EQ(sb().count("oauth.token"), 1u);

  // With the token held the request goes out at once.
  sb().clearLog();
  UserReply again;
  again.request();
  ASSERT_TRUE(wait(again));
  EXPECT_EQ(again.users.size(), 1u);
  EXPECT_EQ(sb().count("auth.check"), 0u);
  EXPECT_EQ(sb().count("api.user"), 1u);
}

TEST_F(UserManagerTest, RefusedPermissionIsAccessDenied) {
  sb().setSkip(kApp, SkipPolicy::Always, SkipPolicy::Never);
  signIn();
  UserReply reply;
  reply.request();
  ASSERT_TRUE(answerConsent(false));
  ASSERT_TRUE(wait(reply));
  ASSERT_EQ(reply.errors.size(), 1u);
  EXPECT_EQ(reply.errors[0], ZTOAuthError(0, "Access denied"));
  EXPECT_TRUE(reply.users.empty());
  EXPECT_TRUE(reply.onMain);
  EXPECT_EQ(sb().count("api.user"), 0u);
  EXPECT_FALSE(ui->alertTitle());
}

TEST_F(UserManagerTest, Api401ForgetsTheTokensAndTheNextRequestRunsTheFlowAgain) {
  signIn();
  sb().inject("api.user", Fault::answer(401, "unauthorized"));
  UserReply first;
  first.request();
  ASSERT_TRUE(wait(first));
  ASSERT_EQ(first.errors.size(), 1u);
  EXPECT_EQ(first.errors[0], ZTOAuthError(401, "unauthorized"));
  EXPECT_FALSE(ZTTokenUtilites::shared()->getOAuthToken());
  EXPECT_EQ(ZTTokenUtilites::shared()->getToken(), "");

  UserReply second;
  second.request();
  ASSERT_TRUE(wait(second));
  ASSERT_EQ(second.users.size(), 1u);
  EXPECT_EQ(sb().count("auth.check"), 2u);
  EXPECT_EQ(sb().requests("auth.check").at(1).status, 401);
  EXPECT_EQ(entrance->presented, 1);
  EXPECT_EQ(sb().count("oauth.token"), 2u);
  EXPECT_EQ(sb().count("api.user"), 2u);
}

namespace {

// Someone waiting for a sign-in: a host's data request, or a host's own caller of the entrance.
struct Waiter {
  bool dataRequest = true;
  std::shared_ptr<std::vector<std::string>> heard = std::make_shared<std::vector<std::string>>();
  std::shared_ptr<bool> onMain = std::make_shared<bool>(true);
  bool started = false;
  void start() {
    started = true;
    auto note = [heard = heard, onMain = onMain](const std::string& what) {
      heard->push_back(what);
      *onMain = *onMain && Foundation::Thread::isMainThread();
    };
    if (!dataRequest) {
      ZTAccounts::auth(false, [note](bool in) { note(in ? "signed in" : "not signed in"); });
      return;
    }
    ZTUserManager::request<ZTUserDataResponse>(
        ZTPublicConstants::getUserEndpoint(),
        [note](ZTUserDataResponse user) { note(user.email.value_or("?")); },
        [note](ZTOAuthError error) { note(error.message.value_or("?")); });
  }
  std::string refused() const { return dataRequest ? "Access denied" : "not signed in"; }
  std::string granted() const { return dataRequest ? kUser : "signed in"; }
};

// How the host takes the entrance away. `next` is the host's next request, started here when
// the host makes it while the entrance leaves.
struct Closing {
  const char* name;
  std::function<void(Waiter& next)> close;
};

}  // namespace

TEST_F(UserManagerTest, AnEntranceGoneAnyWayAnswersOnceAndTheNextSignsInOnANewOne) {
  std::shared_ptr<UIKit::UIViewController> keptRoot;
  std::unique_ptr<PlatformTesting::UI> oldWindow;
  // The host shows its root in a new key window; the entrance stays in the old one.
  const auto moveRoot = [this, &oldWindow] {
    oldWindow = std::move(ui);
    ui = std::make_unique<PlatformTesting::UI>(oldWindow->root());
  };
  const std::vector<Closing> closings{
      {"dismissed", [this](Waiter&) { ui->root()->dismiss(false); }},
      {"windowReplaced", [this](Waiter&) { ui = std::make_unique<PlatformTesting::UI>(); }},
      {"rootReplaced",
       [this](Waiter&) {
         ui->window()->setRootViewController(std::make_shared<UIKit::UIViewController>());
       }},
      // The host keeps its old root, so the entrance is neither released nor dismissed.
      {"rootReplacedAndKept",
       [this, &keptRoot](Waiter&) {
         keptRoot = ui->root();
         ui->window()->setRootViewController(std::make_shared<UIKit::UIViewController>());
       }},
      {"rootReplacedKeptAndPutBack",
       [this, &keptRoot](Waiter&) {
         keptRoot = ui->root();
         ui->window()->setRootViewController(std::make_shared<UIKit::UIViewController>());
         ui->window()->setRootViewController(keptRoot);
       }},
      {"rootMovedToANewKeyWindow", [&](Waiter&) { moveRoot(); }},
      // Hidden, the entrance may still come back; the next request ends it and signs in anew.
      {"windowHiddenForGoodThenANewOneAndARequest",
       [&](Waiter& next) {
         ui->window()->setHidden(true);
         oldWindow = std::move(ui);
         ui = std::make_unique<PlatformTesting::UI>();
         next.start();
       }},
      {"oldWindowHiddenThenRootMoved",
       [&](Waiter&) {
         ui->window()->setHidden(true);
         moveRoot();
       }},
      {"rootMovedThenOldWindowGivenAnotherRoot",
       [&](Waiter&) {
         moveRoot();
         oldWindow->window()->setRootViewController(std::make_shared<UIKit::UIViewController>());
       }},
      {"coveredThenClosedWithItsCover",
       [this](Waiter&) {
         auto cover = std::make_shared<UIKit::UIViewController>();
         cover->setModalPresentationStyle(UIKit::UIModalPresentationStyle::fullScreen);
         // Through the entrance's own type, as a host would.
         auto shown = std::dynamic_pointer_cast<ZTEntranceViewController>(ui->frontmost());
         ASSERT_NE(shown, nullptr);
         shown->present(cover, false);
         Waiter joining{false};
         joining.start();
         for (int turn = 0; turn < 3; ++turn) ui->settle();
         EXPECT_TRUE(joining.heard->empty()) << "answered while only covered";
         EXPECT_EQ(ui->frontmost(), cover);
         ui->root()->dismiss(false);
       }},
      // The kit's loader over the entrance, as during a sign-in step, when the root goes.
      {"rootReplacedAndKeptUnderTheLoader",
       [this, &keptRoot](Waiter&) {
         ZTUIUtilites::shared()->loaderStart(1.0, nullptr);
         ASSERT_TRUE(runUntil([&] { return ui->isLoaderShowing(); }));
         keptRoot = ui->root();
         ui->window()->setRootViewController(std::make_shared<UIKit::UIViewController>());
       }},
      {"nextInTheDismissalsCompletion",
       [this](Waiter& next) { ui->root()->dismiss(false, [&next] { next.start(); }); }},
      {"nextWhileTheDismissalAnimates",
       [this](Waiter& next) {
         UIKit::UIView::setAnimationsEnabled(true);
         ui->root()->dismiss(true);
         UIKit::UIView::setAnimationsEnabled(false);
         ui->settle();
         EXPECT_TRUE(ui->frontmost()->isBeingDismissed());
         next.start();
         ui->advance(UIKit::UIViewController::transitionDuration);
       }},
  };
  for (const bool dataRequest : {true, false}) {
    for (const auto& closing : closings) {
      SCOPED_TRACE(std::string(closing.name) + (dataRequest ? ", data request" : ", caller"));
      ZTAccounts::logout();
      entrance->onPresent = nullptr;  // the user walks away
      Waiter gone{dataRequest};
      Waiter next{dataRequest};
      const int opened = entrance->presented;
      gone.start();
      // The entrance in: a dismissal asked for while it comes in would wait for that.
      ASSERT_TRUE(runUntil(
          [&] {
            return entrance->presented == opened + 1 && !ui->frontmost()->isBeingPresented() &&
                   !ui->isLoaderShowing();
          },
          20));
      entrance->onPresent = [this] { signInAndAnnounce(); };
      closing.close(next);
      ASSERT_TRUE(runUntil([&] { return !gone.heard->empty(); }, 20));
      if (!next.started) next.start();
      ASSERT_TRUE(runUntil([&] { return !next.heard->empty(); }, 20));
      ui->advance(6);
      ui->settle();
      EXPECT_EQ(*gone.heard, std::vector<std::string>{gone.refused()});
      EXPECT_TRUE(*gone.onMain);
      EXPECT_EQ(*next.heard, std::vector<std::string>{next.granted()});
      EXPECT_TRUE(*next.onMain);
      EXPECT_EQ(entrance->presented, opened + 2);
      EXPECT_FALSE(ui->alertTitle());
    }
  }
}

// The host's windows change for a moment and come back while the user is on a screen of the
// kit: the screen stays, nobody hears anything, and then each hears the user's answer on it.
TEST_F(UserManagerTest, AWindowChangeThatComesBackEndsNoScreen) {
  enum class On { entranceForData, entranceForCaller, consentCard, codeCard };
  for (const auto on :
       {On::entranceForData, On::entranceForCaller, On::consentCard, On::codeCard}) {
    for (const auto& change : zttest::passingWindowChanges()) {
      SCOPED_TRACE(std::string(change.name) + " on screen " + std::to_string(int(on)));
      ZTAccounts::logout();
      const bool atEntrance = on == On::entranceForData || on == On::entranceForCaller;
      entrance->onPresent = nullptr;
      if (!atEntrance) {
        sb().setSkip(kApp, on == On::consentCard ? SkipPolicy::Always : SkipPolicy::Never,
                     on == On::consentCard ? SkipPolicy::Never : SkipPolicy::Always);
        signIn();
      }
      Waiter waiter{on != On::entranceForCaller};
      waiter.start();
      std::shared_ptr<UIKit::UIViewController> screen;
      if (on == On::codeCard) {
        screen = readyCodeCard();
      } else {
        runUntil([&] {
          auto front = ui->frontmost();
          const bool expected =
              atEntrance ? std::dynamic_pointer_cast<ZTEntranceViewController>(front) != nullptr
                         : std::dynamic_pointer_cast<ZTModalScopesViewController>(front) != nullptr;
          if (expected && !front->isBeingPresented() && !ui->isLoaderShowing()) screen = front;
          return screen != nullptr;
        });
      }
      ASSERT_NE(screen, nullptr);

      std::unique_ptr<PlatformTesting::UI> scene;
      change.pass(*ui, scene);
      ui->advance(1);
      ui->settle();
      EXPECT_TRUE(waiter.heard->empty());
      EXPECT_EQ(ui->frontmost(), screen);
      EXPECT_FALSE(screen->isBeingDismissed());

      if (atEntrance) {
        signInAndAnnounce();
      } else if (on == On::consentCard) {
        ASSERT_TRUE(answerConsent(true));
      } else {
        ASSERT_TRUE(ui->type(sb().outbox().back().code, ui->find("codeEnterView")));
        ASSERT_TRUE(ui->tap(button("Confirm")));
      }
      ASSERT_TRUE(runUntil([&] { return !waiter.heard->empty(); }, 20));
      ui->advance(6);
      ui->settle();
      EXPECT_EQ(*waiter.heard, std::vector<std::string>{waiter.granted()});
      EXPECT_TRUE(*waiter.onMain);
      sb().setSkip(kApp, SkipPolicy::Always, SkipPolicy::Always);
      entrance->onPresent = [this] { signInAndAnnounce(); };
    }
  }
}

// A request while the host's only window is hidden opens its entrance there, and the entrance
// waits for the window to come back: the request's own screen is not one left behind.
TEST_F(UserManagerTest, ARequestWhileTheWindowIsHiddenWaitsForTheUser) {
  for (const bool dataRequest : {true, false}) {
    SCOPED_TRACE(dataRequest ? "data request" : "caller");
    ZTAccounts::logout();
    entrance->onPresent = nullptr;
    ui->window()->setHidden(true);
    Waiter waiter{dataRequest};
    waiter.start();
    runUntil(
        [&] { return waiter.heard->size() + entrance->presented > 0 && !ui->isLoaderShowing(); });
    ui->advance(1);
    ui->settle();
    EXPECT_TRUE(waiter.heard->empty());
    ui->window()->setHidden(false);
    signInAndAnnounce();
    ASSERT_TRUE(runUntil([&] { return !waiter.heard->empty(); }, 20));
    EXPECT_EQ(*waiter.heard, std::vector<std::string>{waiter.granted()});
    entrance->onPresent = [this] { signInAndAnnounce(); };
  }
}

// A screen the host presents over the entrance is the host's to close. A passing key window
// leaves both; a root moved into a new window ends the entrance, which goes with the host's
// screen once the host has closed it.
TEST_F(UserManagerTest, TheKitNeverDismissesAHostScreenOverTheEntrance) {
  for (const bool rootMoves : {false, true}) {
    SCOPED_TRACE(rootMoves ? "root moved into a new window" : "host alert window");
    ZTAccounts::logout();
    entrance->onPresent = nullptr;
    Waiter waiter{false};
    waiter.start();
    std::shared_ptr<ZTEntranceViewController> up;
    ASSERT_TRUE(runUntil(
        [&] {
          up = std::dynamic_pointer_cast<ZTEntranceViewController>(ui->frontmost());
          return up && !up->isBeingPresented() && !ui->isLoaderShowing();
        },
        20));
    auto hostScreen = std::make_shared<UIKit::UIViewController>();
    up->present(hostScreen, false);
    ui->settle();
    std::unique_ptr<PlatformTesting::UI> oldWindow;
    if (rootMoves) {
      oldWindow = std::move(ui);
      ui = std::make_unique<PlatformTesting::UI>(oldWindow->root());
    } else {
      zttest::passingWindowChanges().front().pass(*ui, oldWindow);
    }
    ui->advance(1);
    ui->settle();
    EXPECT_EQ(hostScreen->presentingViewController(), up);
    EXPECT_FALSE(hostScreen->isBeingDismissed());
    EXPECT_EQ(*waiter.heard,
              rootMoves ? std::vector<std::string>{"not signed in"} : std::vector<std::string>{});

    hostScreen->dismiss(false);
    ui->settle();
    if (rootMoves) {
      EXPECT_EQ(up->presentingViewController(), nullptr);
    } else {
      signInAndAnnounce();
      ASSERT_TRUE(runUntil([&] { return !waiter.heard->empty(); }, 20));
      EXPECT_EQ(*waiter.heard, std::vector<std::string>{"signed in"});
    }
    entrance->onPresent = [this] { signInAndAnnounce(); };
  }
}

// The window goes, or its root with the host keeping it, while a card of the flow is up: the
// request hears no, and the next one signs in through a new card.
TEST_F(UserManagerTest, ACardGoneWithItsWindowEndsTheRequestAndTheNextGoesThrough) {
  struct Row {
    const char* name;
    SkipPolicy login;
    SkipPolicy consent;
    bool rootKept;
  };
  std::shared_ptr<UIKit::UIViewController> keptRoot;
  for (const auto& row : {Row{"consent", SkipPolicy::Always, SkipPolicy::Never, false},
                          Row{"code", SkipPolicy::Never, SkipPolicy::Always, false},
                          Row{"consent, root kept", SkipPolicy::Always, SkipPolicy::Never, true},
                          Row{"code, root kept", SkipPolicy::Never, SkipPolicy::Always, true}}) {
    SCOPED_TRACE(row.name);
    ZTAccounts::logout();
    sb().setSkip(kApp, row.login, row.consent);
    signIn();
    const auto cardUp = [&] {
      return runUntil(
          [&] {
            auto front = ui->frontmost();
            return (row.consent == SkipPolicy::Never
                        ? std::dynamic_pointer_cast<ZTModalScopesViewController>(front) != nullptr
                        : readyCodeCard() != nullptr) &&
                   !ui->isLoaderShowing();
          },
          20);
    };
    UserReply gone;
    gone.request();
    ASSERT_TRUE(cardUp());
    if (row.rootKept) {
      keptRoot = ui->root();
      ui->window()->setRootViewController(std::make_shared<UIKit::UIViewController>());
    } else {
      ui = std::make_unique<PlatformTesting::UI>();
    }
    ASSERT_TRUE(wait(gone));

    UserReply next;
    next.request();
    if (row.consent == SkipPolicy::Never) {
      ASSERT_TRUE(answerConsent(true));
    } else {
      ASSERT_TRUE(enterCode());
    }
    ASSERT_TRUE(wait(next));
    ui->advance(6);
    ui->settle();
    EXPECT_EQ(gone.errors, std::vector<ZTOAuthError>{ZTOAuthError(0, "Access denied")});
    EXPECT_TRUE(gone.users.empty());
    EXPECT_TRUE(gone.onMain);
    EXPECT_EQ(next.users.size(), 1u);
    EXPECT_TRUE(next.errors.empty());
  }
}

// The window loses its root, or goes, after the flow asked for its first loader and before the
// loader could show: the flow still ends, and the next request signs in once there is a root.
TEST_F(UserManagerTest, AFlowWhoseLoaderCannotShowEndsAndTheNextSignsIn) {
  const std::vector<std::pair<const char*, std::function<void()>>> losses{
      {"rootGone", [this] { ui->window()->setRootViewController(nullptr); }},
      {"windowGone", [this] { ui = std::make_unique<PlatformTesting::UI>(nullptr); }},
  };
  for (const auto& [name, lose] : losses) {
    SCOPED_TRACE(name);
    ZTAccounts::logout();
    const int opened = entrance->presented;
    UserReply lost;
    lost.request();
    // Runs after the flow's first step has asked for the loader, before the loader's turn.
    Dispatch::DispatchQueue::main().async(lose);
    ASSERT_TRUE(wait(lost));
    EXPECT_EQ(lost.errors, std::vector<ZTOAuthError>{ZTOAuthError(0, "Access denied")});
    EXPECT_TRUE(lost.onMain);

    ui = std::make_unique<PlatformTesting::UI>();
    UserReply next;
    next.request();
    ASSERT_TRUE(wait(next));
    EXPECT_EQ(next.users.size(), 1u);
    EXPECT_EQ(entrance->presented, opened + 1);
  }
}

// A second request while a card closes: taken away by the host, the card's flow ends and the
// request asks the user on a card of its own; closing after the user's answer, the flow goes
// on and the request hears that answer.
TEST_F(UserManagerTest, ARequestWhileACardClosesHearsTheUsersAnswer) {
  struct Row {
    const char* name;
    bool consentCard;
    bool byHost;
  };
  for (const auto& row : {Row{"consent, host", true, true}, Row{"code, host", false, true},
                          Row{"consent, user", true, false}, Row{"code, user", false, false}}) {
    SCOPED_TRACE(row.name);
    ZTAccounts::logout();
    sb().setSkip(kApp, row.consentCard ? SkipPolicy::Always : SkipPolicy::Never,
                 row.consentCard ? SkipPolicy::Never : SkipPolicy::Always);
    signIn();
    UserReply first;
    first.request();
    std::shared_ptr<UIKit::UIViewController> card;
    if (row.consentCard) {
      ASSERT_TRUE(runUntil(
          [&] {
            card = std::dynamic_pointer_cast<ZTModalScopesViewController>(ui->frontmost());
            return card && !ui->isLoaderShowing();
          },
          20));
    } else {
      card = readyCodeCard();
      ASSERT_NE(card, nullptr);
    }
    ASSERT_TRUE(runUntil([&] { return !card->isBeingPresented(); }));
    UserReply second;
    if (row.byHost) {
      UIKit::UIView::setAnimationsEnabled(true);
      ui->root()->dismiss(true);
      UIKit::UIView::setAnimationsEnabled(false);
      ui->settle();
      ASSERT_TRUE(card->isBeingDismissed());
    } else {
      if (!row.consentCard) {
        ASSERT_TRUE(ui->type(sb().outbox().back().code, ui->find("codeEnterView")));
      }
      auto pressed = button(row.consentCard ? "Allow" : "Confirm");
      ASSERT_NE(pressed, nullptr);
      const auto area = pressed->bounds();
      // No turn of the main queue after the tap: the request comes while the card closes.
      UIKit::UIView::setAnimationsEnabled(true);
      ui->window()->sendTap(pressed->convertTo(UIKit::CGPoint{area.midX(), area.midY()}, nullptr));
      UIKit::UIView::setAnimationsEnabled(false);
    }
    second.request();
    ui->advance(UIKit::UIViewController::transitionDuration);
    if (row.byHost) {
      ASSERT_TRUE(wait(first));
      if (row.consentCard) {
        ASSERT_TRUE(answerConsent(true));
      } else {
        ASSERT_TRUE(enterCode());
      }
    }
    ASSERT_TRUE(wait(second));
    ASSERT_TRUE(wait(first));
    ui->advance(6);
    ui->settle();
    if (row.byHost) {
      EXPECT_EQ(first.errors, std::vector<ZTOAuthError>{ZTOAuthError(0, "Access denied")});
    } else {
      EXPECT_EQ(first.users.size(), 1u);
    }
    EXPECT_EQ(second.users.size(), 1u);
    EXPECT_TRUE(second.errors.empty());
    EXPECT_EQ(sb().count("oauth.token"), 1u) << "one flow reached the token";
    sb().clearLog();
  }
}

// A host's caller that comes once the user has signed in, while the entrance is still on its
// way in or out, hears true with the others; no second entrance opens, and the entrance the
// user signed in on is the one that closes.
TEST_F(UserManagerTest, ACallerDuringASignedInEntrancesClosingHearsTrue) {
  for (const bool signedInWhileComingIn : {false, true}) {
    SCOPED_TRACE(signedInWhileComingIn ? "signed in while it comes in" : "while it goes out");
    ZTAccounts::logout();
    entrance->onPresent = nullptr;
    const int opened = entrance->presented;
    Waiter first{false};
    Waiter late{false};
    UIKit::UIView::setAnimationsEnabled(signedInWhileComingIn);
    first.start();
    ASSERT_TRUE(runUntil(
        [&] {
          auto front = std::dynamic_pointer_cast<ZTEntranceViewController>(ui->frontmost());
          return front && front->isBeingPresented() == signedInWhileComingIn;
        },
        20));
    UIKit::UIView::setAnimationsEnabled(true);
    signInAndAnnounce();
    ui->settle();
    UIKit::UIView::setAnimationsEnabled(false);
    ASSERT_TRUE(signedInWhileComingIn || ui->frontmost()->isBeingDismissed());
    late.start();
    ui->advance(2 * UIKit::UIViewController::transitionDuration);
    ASSERT_TRUE(runUntil([&] { return !first.heard->empty() && !late.heard->empty(); }, 20));
    ui->advance(1);
    ui->settle();
    EXPECT_EQ(*first.heard, std::vector<std::string>{"signed in"});
    EXPECT_EQ(*late.heard, std::vector<std::string>{"signed in"});
    EXPECT_TRUE(*late.onMain);
    EXPECT_EQ(entrance->presented, opened + 1);
    EXPECT_EQ(ui->frontmost(), ui->root());
  }
}
