#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <Foundation/HTTPCookieStorage.hpp>

#include "NetworkingSupport.hpp"
#include "ZTAPI/ZTRequestManager.hpp"
#include "ZTNetworkCore/ZTNetworkCore.hpp"
#include "ZTOAuth/ZTOAuthRedirectListener.hpp"
#include "ZTTokenUtilites.hpp"

namespace {

using nettest::idURL;
using nettest::Outcome;
using ZentrelSDK::EmptyBody;
using ZentrelSDK::ZTHTTPMethod;
using ZentrelSDK::ZTNetworkCore;
using ZentrelSDK::ZTNetworkError;
using ZentrelSDK::ZTOAuthRedirectListener;
using ZentrelSDK::ZTOAuthStep;
using ZentrelSDK::ZTRequestManager;
using ZentrelSDK::ZTResponse;

// Records the redirects it is offered and refuses them, so the task ends with the redirect.
class RecordingListener final : public ZTOAuthRedirectListener {
 public:
  void updateOauthStep(ZTOAuthStep step) override { step_ = step; }
  void beginListeninngForRedirections() override {}
  void stopListeningForRedirections() override {}

  void willPerformHTTPRedirection(
      const std::shared_ptr<Foundation::URLSession>& /*session*/,
      const std::shared_ptr<Foundation::URLSessionTask>& /*task*/,
      const std::shared_ptr<Foundation::HTTPURLResponse>& response,
      const Foundation::URLRequest& newRequest,
      std::function<void(std::optional<Foundation::URLRequest>)> completionHandler) override {
    {
      std::lock_guard lock(mutex_);
      offered_.push_back(newRequest.url ? newRequest.url->absoluteString() : "");
      statuses_.push_back(response->statusCode());
      onMain_ = onMain_ || Foundation::Thread::isMainThread();
    }
    completionHandler(std::nullopt);
  }

  std::vector<std::string> offered() const {
    std::lock_guard lock(mutex_);
    return offered_;
  }
  bool calledOnMain() const {
    std::lock_guard lock(mutex_);
    return onMain_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> offered_;
  std::vector<int> statuses_;
  bool onMain_ = false;
  ZTOAuthStep step_ = ZTOAuthStep::login;
};

class RedirectHook : public zttest::SandboxTest {
 protected:
  void TearDown() override { ZTNetworkCore::disableRedirectListener(); }
};

TEST_F(RedirectHook, RedirectsOfLaterRequestsAreOfferedToTheListenerOffTheMainThread) {
  auto listener = std::make_shared<RecordingListener>();
  ZTNetworkCore::enableRedirectListener(listener);
  Outcome<ZTResponse> lenient;
  Outcome<EmptyBody> strict;
  ZTNetworkCore::requestRequiredStatusCodeAnswer(
      idURL("/test/redirect/302?abs=1&to=/callback%3Fcode%3Dc1"), ZTHTTPMethod::get, {},
      EmptyBody(), lenient.callback());
  ZTNetworkCore::requestRequired200StatusCodeAnswer<EmptyBody>(
      idURL("/test/redirect/303?abs=1&to=/consent%3Fconsent_challenge%3Dx"), ZTHTTPMethod::post, {},
      EmptyBody(), strict.callback());
  ASSERT_TRUE(lenient.wait() && strict.wait());
  ASSERT_TRUE(lenient.result->isSuccess()) << lenient.errorText();
  EXPECT_EQ(lenient.value().statusCode, 302);
  EXPECT_EQ(strict.errorText(), "answer has not status code = 200 (303)");

  auto offered = listener->offered();
  std::sort(offered.begin(), offered.end());
  EXPECT_EQ(offered,
            (std::vector<std::string>{"https://id.zentrel.com/callback?code=c1",
                                      "https://id.zentrel.com/consent?consent_challenge=x"}));
  EXPECT_FALSE(listener->calledOnMain());
  EXPECT_EQ(sb().count("test.echo"), 0u);
}

class Cookies : public zttest::SandboxTest {
 protected:
  void SetUp() override {
    zttest::SandboxTest::SetUp();
    ZentrelSDK::ZTTokenUtilites::shared()->clearTokens();
  }
  // The cookies the server sees on a request through the request manager.
  nlohmann::json cookieSent(bool clearCookie) {
    Outcome<ZTResponse> answer;
    ZTRequestManager::shared()->runExpectingAnyAnswer(std::nullopt, "", idURL("/test/cookies"),
                                                      ZTHTTPMethod::get, clearCookie, EmptyBody(),
                                                      answer.callback());
    EXPECT_TRUE(answer.wait());
    return nettest::echoOf(answer.value()).value("cookies", nlohmann::json());
  }
};

TEST_F(Cookies, ClearCookieFlagsChangeNothingOnlyClearTokensRemovesThem) {
  Outcome<ZTResponse> set;
  ZTRequestManager::shared()->runExpectingAnyAnswer(
      std::nullopt, "", idURL("/test/cookies/set?zt_a=1&zt_b=2"), ZTHTTPMethod::get, false,
      EmptyBody(), set.callback());
  ASSERT_TRUE(set.wait());
  ASSERT_EQ(Foundation::HTTPCookieStorage::shared()->cookies().size(), 2u);

  const nlohmann::json both = {{"zt_a", "1"}, {"zt_b", "2"}};
  EXPECT_EQ(cookieSent(true), both);
  ZTNetworkCore::clearCookies();
  EXPECT_EQ(cookieSent(false), both);
  ZTNetworkCore::setCookies();
  EXPECT_EQ(cookieSent(true), both);

  ZentrelSDK::ZTTokenUtilites::shared()->saveToken("t");
  ZentrelSDK::ZTTokenUtilites::shared()->saveOAuthToken("o");
  ZentrelSDK::ZTTokenUtilites::shared()->clearTokens();
  EXPECT_TRUE(Foundation::HTTPCookieStorage::shared()->cookies().empty());
  EXPECT_EQ(cookieSent(false), nlohmann::json::object());
  EXPECT_EQ(ZentrelSDK::ZTTokenUtilites::shared()->getToken(), "");
  EXPECT_FALSE(ZentrelSDK::ZTTokenUtilites::shared()->getOAuthToken().has_value());
}

TEST_F(Cookies, ClearOAuthTokenKeepsSessionTokenAndCookies) {
  Outcome<ZTResponse> set;
  ZTRequestManager::shared()->runExpectingAnyAnswer(
      std::nullopt, "", idURL("/test/cookies/set?zt_c=3"), ZTHTTPMethod::get, true, EmptyBody(),
      set.callback());
  ASSERT_TRUE(set.wait());
  auto tokens = ZentrelSDK::ZTTokenUtilites::shared();
  tokens->saveToken("session", false);
  tokens->saveOAuthToken("access");
  tokens->clearOAuthToken();
  EXPECT_EQ(tokens->getToken(), "session");
  EXPECT_FALSE(tokens->getOAuthToken().has_value());
  EXPECT_EQ(cookieSent(true), nlohmann::json({{"zt_c", "3"}}));
}

}  // namespace
