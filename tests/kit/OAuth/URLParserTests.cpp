#include <optional>
#include <string>

#include <gtest/gtest.h>

#include <Foundation/URL.hpp>

#include "ZTEvents.hpp"
#include "ZTEventsRegistration.hpp"
#include "ZTOAuth/ZTOAuthUtilites/ZTURLParser.hpp"
#include "support/RunLoopSupport.hpp"

using namespace ZentrelSDK;
using Foundation::URL;

namespace {

enum class Which { login, consent, code };

// Parses `text` for one step and returns the payload the step's event carried.
std::optional<std::string> emitted(Which which, const std::optional<std::string>& text,
                                   const std::optional<std::string>& expectedState = "S") {
  struct Listener {
    bool heard = false;
    std::optional<std::string> payload;
    ZTEventsRegistration events{this};
  } listener;
  auto record = [&](std::optional<std::string> payload) {
    listener.heard = true;
    listener.payload = std::move(payload);
  };
  auto& bus = *ZTEvents::shared();
  std::optional<URL> url = text ? URL::string(*text) : std::nullopt;
  if (text) {
    EXPECT_TRUE(url) << *text;
  }
  switch (which) {
    case Which::login:
      bus.oauthLoginChallengeEventListen(&listener, record);
      ZTURLParser::parseLoginChallenge(url);
      break;
    case Which::consent:
      bus.oauthConsentChallengeEventListen(&listener, record);
      ZTURLParser::parseConsentChallenge(url);
      break;
    case Which::code:
      bus.oauthCodeEventListen(&listener, record);
      ZTURLParser::parseCode(url, expectedState);
      break;
  }
  EXPECT_TRUE(zttest::runUntil([&] { return listener.heard; }, 5.0));
  return listener.payload;
}

}  // namespace

TEST(URLParser, ReadsTheStepsItemFirstOccurrenceDecoded) {
  EXPECT_EQ(emitted(Which::login, "https://id.zentrel.com/login?login_challenge=abc&x=1"), "abc");
  EXPECT_EQ(emitted(Which::login, "https://id.zentrel.com/login?x=1&login_challenge=a%2Bb%20c"),
            "a+b c");
  EXPECT_EQ(emitted(Which::consent,
                    "https://id.zentrel.com/consent?consent_challenge=c1&consent_challenge=c2"),
            "c1");
  EXPECT_EQ(emitted(Which::code, "https://id.zentrel.com/callback?code=AC&state=S"), "AC");
}

TEST(URLParser, MissingItemIsAnEventWithoutPayloadNeverTheWholeURL) {
  EXPECT_EQ(emitted(Which::login, "https://id.zentrel.com/login?x=1"), std::nullopt);
  EXPECT_EQ(emitted(Which::consent, "https://id.zentrel.com/consent?login_challenge=abc"),
            std::nullopt);
  EXPECT_EQ(emitted(Which::code, "https://id.zentrel.com/callback?state=S"), std::nullopt);
  EXPECT_EQ(emitted(Which::code, "https://id.zentrel.com/callback"), std::nullopt);
  EXPECT_EQ(emitted(Which::login, std::nullopt), std::nullopt);
  EXPECT_EQ(emitted(Which::code, std::nullopt), std::nullopt);
}

TEST(URLParser, ServerErrorsAreNotItems) {
  EXPECT_EQ(
      emitted(Which::login, "https://id.zentrel.com/login?error=access_denied&login_challenge=abc"),
      std::nullopt);
  EXPECT_EQ(emitted(Which::consent,
                    "https://id.zentrel.com/consent?consent_challenge=cc&error=server_error"),
            std::nullopt);
  EXPECT_EQ(emitted(Which::code, "https://id.zentrel.com/callback?code=AC&state=S&error=x"),
            std::nullopt);
  // An `error` item without a value is a refusal all the same.
  EXPECT_EQ(emitted(Which::login, "https://id.zentrel.com/login?error&login_challenge=abc"),
            std::nullopt);
  EXPECT_EQ(emitted(Which::consent, "https://id.zentrel.com/consent?consent_challenge=cc&error="),
            std::nullopt);
  EXPECT_EQ(emitted(Which::code, "https://id.zentrel.com/callback?error&code=AC&state=S"),
            std::nullopt);
}

TEST(URLParser, CodeWithAnotherOrNoStateIsRefused) {
  // The server always echoes the state.
  EXPECT_EQ(emitted(Which::code, "https://id.zentrel.com/callback?code=AC"), std::nullopt);
  EXPECT_EQ(emitted(Which::code, "https://id.zentrel.com/callback?code=AC&state"), std::nullopt);
  EXPECT_EQ(emitted(Which::code, "https://id.zentrel.com/callback?code=AC&state=T"), std::nullopt);
  EXPECT_EQ(emitted(Which::code, "https://id.zentrel.com/callback?code=AC&state="), std::nullopt);
  EXPECT_EQ(emitted(Which::code, "https://id.zentrel.com/callback?code=AC&state=S",
                    /*expectedState=*/std::nullopt),
            std::nullopt);
}
