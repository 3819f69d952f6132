#include <ZTEventChecker.hpp>

#include "LoggerCapture.hpp"

using ZentrelSDK::ZTEventChecker;
using EventType = ZentrelSDK::ZTEventChecker::EventType;

namespace {

Foundation::URLComponents components(const char* text) {
  auto parsed = Foundation::URLComponents::string(text);
  EXPECT_TRUE(parsed.has_value()) << text;
  return parsed.value_or(Foundation::URLComponents());
}

}  // namespace

// Run inside the kit's own host so that any error line would show.
class ZTEventCheckerTest : public LoggerCapture {
 protected:
  void SetUp() override {
    LoggerCapture::SetUp();
    runInsideHost(kExampleHost);
  }
};

TEST_F(ZTEventCheckerTest, APathEndingInTheTokenSegmentIsAToken) {
  for (const char* url : {"https://app.example/auth/token", "https://app.example/auth/token/",
                          "zentrel://callback/token?code=1#token", "/token", "token"}) {
    SCOPED_TRACE(url);
    EXPECT_EQ(ZTEventChecker::fromURL(components(url)), EventType::token);
  }
  EXPECT_EQ(taken(), "");
}

TEST_F(ZTEventCheckerTest, EveryOtherReadablePathIsNoneWithoutALogLine) {
  for (const char* url : {"https://app.example/auth/none", "https://app.example/auth/Token",
                          "https://app.example/auth/tokens", "https://app.example/token/next",
                          "https://app.example/path?token", "https://app.example/path#token",
                          "https://app.example/to%6Ben2"}) {
    SCOPED_TRACE(url);
    EXPECT_EQ(ZTEventChecker::fromURL(components(url)), EventType::none);
  }
  EXPECT_EQ(taken(), "");
}

TEST_F(ZTEventCheckerTest, APercentEncodedTokenSegmentIsReadDecoded) {
  EXPECT_EQ(ZTEventChecker::fromURL(components("https://app.example/a/to%6Ben")), EventType::token);
}

TEST_F(ZTEventCheckerTest, AnEmptyPathIsNoneAndLogsTheError) {
  const Foundation::URLComponents cases[] = {components("https://app.example"),
                                             components("https://app.example///"),
                                             Foundation::URLComponents()};
  for (const auto& c : cases) {
    EXPECT_EQ(ZTEventChecker::fromURL(c), EventType::none);
    const std::string line = taken();
    EXPECT_EQ(
        line.rfind("\u26D4\uFE0F ZTEventChecker.cpp (func \"fromURL(components:)\" at line ", 0),
        0u)
        << line;
    const std::string tail = "):\n Can't parse path\n";
    ASSERT_GT(line.size(), tail.size());
    EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
  }
}
