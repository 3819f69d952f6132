#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "NetworkingSupport.hpp"
#include "ZTAPI/ZTRequestManager.hpp"

namespace {

using nettest::idURL;
using nettest::Outcome;
using ZentrelSDK::EmptyBody;
using ZentrelSDK::ZTHTTPMethod;
using ZentrelSDK::ZTRequestManager;
using ZentrelSDK::ZTResponse;

struct Check {
  static constexpr const char* swiftTypeName = "Check";
  std::string method;
  std::string rawPath;
  static Foundation::Result<Check, Foundation::DecodingError> decode(const nlohmann::json& j) {
    Foundation::KeyedDecodingContainer c(j);
    Check out;
    c.decode("method", out.method);
    c.decode("rawPath", out.rawPath);
    return c.finish(std::move(out));
  }
};

class RequestManager : public zttest::SandboxTest {};

TEST_F(RequestManager, EveryRequestCarriesBearerAndRequestCode) {
  nettest::RawWire wire(sb());
  Outcome<ZTResponse> anonymous, signedIn;
  ZTRequestManager::shared()->runExpectingAnyAnswer(std::nullopt, "", idURL("/api/v1.1/auth"),
                                                    ZTHTTPMethod::get, true, EmptyBody(),
                                                    anonymous.callback());
  ASSERT_TRUE(anonymous.wait());
  ZTRequestManager::shared()->runExpectingAnyAnswer(
      std::string("dG9r+/=="), "", idURL("/api/v1.1/auth/check"), ZTHTTPMethod::get, true,
      EmptyBody(), signedIn.callback());
  ASSERT_TRUE(signedIn.wait());

  const auto requests = wire.all(2);
  ASSERT_EQ(requests.size(), 2u);
  const nettest::WireRequest first(requests[0]), second(requests[1]);
  EXPECT_EQ(first.lines("Authorization"), std::vector<std::string>{"Authorization: Bearer "});
  EXPECT_EQ(second.lines("Authorization"),
            std::vector<std::string>{"Authorization: Bearer dG9r+/=="});
  for (const auto* r : {&first, &second}) {
    EXPECT_EQ(r->lines("x-request-code"), std::vector<std::string>{"x-request-code:"});
    EXPECT_TRUE(r->lines("Content-Type").empty());
  }
}

TEST_F(RequestManager, StrictAnswersAreDecodedAndJudged) {
  Outcome<Check> echoed;
  Outcome<EmptyBody> refused;
  ZTRequestManager::shared()->runExpectingSuccessAnswer<Check>(
      std::nullopt, "", idURL("/test/echo/x"), ZTHTTPMethod::post, false, nlohmann::json{{"a", 1}},
      echoed.callback());
  ZTRequestManager::shared()->runExpectingSuccessAnswer<EmptyBody>(
      std::nullopt, "", idURL("/test/status/401"), ZTHTTPMethod::get, true, EmptyBody(),
      refused.callback());
  ASSERT_TRUE(echoed.wait() && refused.wait());
  ASSERT_TRUE(echoed.result->isSuccess()) << echoed.errorText();
  EXPECT_EQ(echoed.value().method, "POST");
  EXPECT_EQ(echoed.value().rawPath, "/test/echo/x");
  EXPECT_EQ(refused.errorText(), "unauthorized");
}

TEST_F(RequestManager, ConcurrentCallersEachSendTheirOwnHeaders) {
  constexpr int kThreads = 4;
  constexpr int kPerThread = 5;
  auto finished = std::make_shared<std::atomic<int>>(0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, finished] {
      for (int i = 0; i < kPerThread; ++i) {
        const std::string token = "token-" + std::to_string(t) + "-" + std::to_string(i);
        ZTRequestManager::shared()->runExpectingAnyAnswer(
            token, "", idURL("/test/echo?who=" + token), ZTHTTPMethod::get, true, EmptyBody(),
            [finished](Foundation::Result<ZTResponse, ZentrelSDK::Error>) { ++*finished; });
      }
    });
  }
  for (auto& thread : threads) thread.join();
  ASSERT_TRUE(zttest::runUntil([&] { return *finished == kThreads * kPerThread; }, 30.0));
  const auto log = sb().requests("test.echo");
  ASSERT_EQ(log.size(), static_cast<std::size_t>(kThreads * kPerThread));
  for (const auto& entry : log) {
    EXPECT_EQ(entry.header("Authorization"), "Bearer " + entry.param("who").value_or("?"));
  }
}

}  // namespace
