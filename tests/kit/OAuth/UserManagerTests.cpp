#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "OAuthFlowSupport.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserDataResponse.hpp"
#include "ZTUserManager.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

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

TEST_F(UserManagerTest, EntranceClosedByTheHostAnswersTheRequestAndTheNextOpensItAgain) {
  entrance->onPresent = nullptr;  // the user walks away
  UserReply abandoned;
  abandoned.request();
  ASSERT_TRUE(runUntil([&] { return entrance->presented == 1 && !ui->isLoaderShowing(); }, 20));
  ui->root()->dismiss(false);
  ASSERT_TRUE(wait(abandoned));
  ui->advance(6);
  ui->settle();
  EXPECT_EQ(abandoned.errors, std::vector<ZTOAuthError>{ZTOAuthError(0, "Access denied")});
  EXPECT_TRUE(abandoned.users.empty());
  EXPECT_TRUE(abandoned.onMain);
  EXPECT_FALSE(ui->alertTitle());
  EXPECT_EQ(sb().count("oauth.auth"), 0u);

  entrance->onPresent = [this] { signInAndAnnounce(); };
  UserReply next;
  next.request();
  ASSERT_TRUE(wait(next));
  EXPECT_EQ(next.users.size(), 1u);
  EXPECT_EQ(entrance->presented, 2);
  EXPECT_EQ(sb().count("auth.check"), 2u);
}
