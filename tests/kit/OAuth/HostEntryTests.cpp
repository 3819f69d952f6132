#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "OAuthFlowSupport.hpp"

using namespace ZentrelSDK;

// Each runs in a fresh process, where the core does not exist yet.
TEST(OAuthCoreDeathTest, SharedBeforeSetupStopsWithTheMessage) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(ZTOAuthCore::shared(),
               "Error - you must call setup before accessing ZTOAuthCore\\.shared");
}
