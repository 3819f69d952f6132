// The whole road of a host's data request without a session, on the kit's own screens: the
// user signs in on the entrance's login page, then the code card when the login is not
// skipped, the consent card when the consent is not, each policy of the app.

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CardsSupport.hpp"
#include "kit/OAuth/OAuthFlowSupport.hpp"

using namespace ZentrelSDK;
using namespace cardstest;
using namespace oauthtest;
using sandbox::SkipPolicy;

// What the user does on each card in one run (none: the card must not come: the flow would
// wait for it) and whether the user's record arrives.
struct Run {
  std::optional<bool> entersCode;
  std::optional<bool> allows;
  bool getsUser;
};

struct Road {
  const char* name;
  SkipPolicy login, consent;
  std::vector<Run> runs;
};

void PrintTo(const Road& road, std::ostream* os) {
  *os << road.name;
}

class RoadTest : public OAuthFlowTest, public ::testing::WithParamInterface<Road> {
 protected:
  void SetUp() override {
    OAuthFlowTest::SetUp();
    entrance->onPresent = nullptr;  // the user signs in on the login page
  }
};

TEST_P(RoadTest, EndsWithTheUsersRecordOrAccessDenied) {
  const auto& road = GetParam();
  sb().setSkip(kApp, road.login, road.consent);
  std::size_t logins = 0, grants = 0, reads = 0;
  for (std::size_t i = 0; i < road.runs.size(); ++i) {
    SCOPED_TRACE("run " + std::to_string(i));
    const auto& run = road.runs[i];
    ZTAccounts::logout();  // each run signs in through the entrance and runs the whole flow
    Reply reply;
    reply.request();
    ASSERT_TRUE(logInAtEntrance()) << "no login page to sign in on";
    if (run.entersCode) {
      ASSERT_TRUE(*run.entersCode ? enterCode() : cancelCode()) << "no code card";
      if (*run.entersCode) ++logins;
    }
    if (run.allows) {
      EXPECT_EQ(answerConsent(*run.allows), kSeedRows);
      if (*run.allows) ++grants;
    }
    ASSERT_TRUE(runUntil([&] { return reply.answers > 0; }, 20)) << "no answer";
    ui->settle();
    EXPECT_EQ(reply.answers, 1);
    EXPECT_FALSE(codeCard());
    EXPECT_FALSE(ui->alertTitle());
    if (run.getsUser) {
      ++reads;
      ASSERT_TRUE(reply.user);
      EXPECT_EQ(reply.user->email, kUser);
    } else {
      EXPECT_EQ(reply.error, ZTOAuthError(0, "Access denied"));
    }
    EXPECT_EQ(sb().count("oauth.login.post"), logins);
    EXPECT_EQ(sb().count("oauth.consent.post"), grants);
    EXPECT_EQ(sb().count("api.user"), reads);
  }
  for (const auto& grant : sb().requests("oauth.consent.post"))
    EXPECT_EQ(nlohmann::json::parse(grant.body)["grantScopes"], nlohmann::json(kSeedScopes));
}

INSTANTIATE_TEST_SUITE_P(
    Policies, RoadTest,
    ::testing::Values(
        Road{"BothSkipped", SkipPolicy::Always, SkipPolicy::Always, {{{}, {}, true}}},
        Road{"BothAsked",
             SkipPolicy::Never,
             SkipPolicy::Never,
             {{true, true, true}, {true, true, true}}},
        Road{"BothRemembered",
             SkipPolicy::Remembered,
             SkipPolicy::Remembered,
             {{true, true, true}, {{}, {}, true}}},
        Road{"CodeCancelled", SkipPolicy::Never, SkipPolicy::Always, {{false, {}, false}}},
        Road{"ConsentCancelled", SkipPolicy::Always, SkipPolicy::Never, {{{}, false, false}}},
        // A cancel is not remembered; a code entered is, though the consent was refused.
        Road{"CancelsAreNotRemembered",
             SkipPolicy::Remembered,
             SkipPolicy::Remembered,
             {{false, {}, false}, {true, false, false}, {{}, true, true}, {{}, {}, true}}}),
    [](const ::testing::TestParamInfo<Road>& info) { return std::string(info.param.name); });
