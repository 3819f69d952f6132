#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>

#include "NetworkingSupport.hpp"
#include "ZTNetworkCore/ZTNetworkCore.hpp"

namespace {

using nettest::idURL;
using nettest::Outcome;
using ZentrelSDK::EmptyBody;
using ZentrelSDK::ZTHTTPMethod;
using ZentrelSDK::ZTNetworkCore;
using ZentrelSDK::ZTNetworkError;
using ZentrelSDK::ZTResponse;

struct SearchQuery {
  std::string name;
  std::string plus;
  bool flag = true;
  std::int64_t page = 0;
  double ratio = 0.5;
  std::vector<int> list{1, 2};
};
void to_json(nlohmann::json& j, const SearchQuery& q) {
  j = {{"name", q.name}, {"plus", q.plus},   {"flag", q.flag},
       {"page", q.page}, {"ratio", q.ratio}, {"list", q.list}};
}

struct Credentials {
  std::string email, password;
};
void to_json(nlohmann::json& j, const Credentials& c) {
  j = {{"email", c.email}, {"password", c.password}};
}

struct TokenAnswer {
  static constexpr const char* swiftTypeName = "TokenAnswer";
  std::string accessToken;
  std::int64_t expiresIn = 0;
  static Foundation::Result<TokenAnswer, Foundation::DecodingError> decode(
      const nlohmann::json& j) {
    Foundation::KeyedDecodingContainer c(j);
    TokenAnswer t;
    c.decode("accessToken", t.accessToken);
    c.decode("expiresIn", t.expiresIn);
    return c.finish(std::move(t));
  }
};

std::string statusURL(int code, const std::string& body = {},
                      const std::string& type = "application/json") {
  return idURL("/test/status/" + std::to_string(code) + "?type=" + type +
               (body.empty() ? "" : "&body=" + body));
}

class NetworkCoreRequests : public zttest::SandboxTest {};

TEST_F(NetworkCoreRequests, GetSendsTheBodyAsQueryWithPlusEscaped) {
  Outcome<ZTResponse> answer;
  ZTNetworkCore::requestRequiredStatusCodeAnswer(idURL("/test/echo"), ZTHTTPMethod::get, {},
                                                 SearchQuery{"a b&c=d", "1+1#2%"},
                                                 answer.callback());
  ASSERT_TRUE(answer.wait());
  ASSERT_TRUE(answer.result->isSuccess()) << answer.errorText();
  const auto echo = nettest::echoOf(answer.value());
  EXPECT_EQ(echo.at("method"), "GET");
  EXPECT_EQ(echo.at("body"), "");

  // Pairs in no fixed order; the list and the fraction give none.
  std::set<std::string> pairs;
  const std::string raw = echo.at("query");
  for (std::size_t pos = 0; pos <= raw.size();) {
    auto amp = raw.find('&', pos);
    if (amp == std::string::npos) amp = raw.size();
    pairs.insert(raw.substr(pos, amp - pos));
    pos = amp + 1;
  }
  EXPECT_EQ(pairs, (std::set<std::string>{"name=a%20b%26c=d", "plus=1%2B1%232%25", "flag=true",
                                          "page=0"}));
  EXPECT_EQ(sb().requests("test.echo").at(0).param("plus"), "1+1#2%");
}

TEST_F(NetworkCoreRequests, JsonPostGoesOutByteExactWithOnlyTheCallersHeaders) {
  nettest::RawWire wire(sb());
  Outcome<ZTResponse> answer;
  ZTNetworkCore::requestRequiredStatusCodeAnswer(
      idURL("/api/v1.1/auth/token"), ZTHTTPMethod::post,
      {{"Authorization", "Bearer abc"}, {"x-request-code", ""}}, Credentials{"a@b.c", "p w\u00e9"},
      answer.callback());
  ASSERT_TRUE(answer.wait());
  ASSERT_TRUE(answer.result->isSuccess()) << answer.errorText();

  const auto request = wire.only();
  EXPECT_EQ(request.requestLine, "POST /api/v1.1/auth/token HTTP/1.1");
  EXPECT_EQ(request.body, "{\"email\":\"a@b.c\",\"password\":\"p w\u00e9\"}");
  EXPECT_EQ(request.lines("Authorization"), std::vector<std::string>{"Authorization: Bearer abc"});
  EXPECT_EQ(request.lines("x-request-code"), std::vector<std::string>{"x-request-code:"});
  EXPECT_TRUE(request.lines("Content-Type").empty());
  EXPECT_EQ(request.lines("Content-Length"),
            std::vector<std::string>{"Content-Length: " + std::to_string(request.body.size())});
}

TEST_F(NetworkCoreRequests, PostWithEmptyBodySendsNothing) {
  Outcome<ZTResponse> answer;
  ZTNetworkCore::requestRequiredStatusCodeAnswer(idURL("/test/echo"), ZTHTTPMethod::post, {},
                                                 EmptyBody(), answer.callback());
  ASSERT_TRUE(answer.wait());
  const auto echo = nettest::echoOf(answer.value());
  EXPECT_EQ(echo.at("method"), "POST");
  EXPECT_EQ(echo.at("bodySize"), 0);
  EXPECT_EQ(echo.at("target"), "/test/echo");
}

TEST_F(NetworkCoreRequests, FormPostGoesOutSortedAndEscaped) {
  nettest::RawWire wire(sb());
  Outcome<EmptyBody> answer;
  ZTNetworkCore::postRequestWithUrlEncoded<EmptyBody>(
      idURL("/api/v1.1/oauth/token"), {{"Content-type", "application/x-www-form-urlencoded"}},
      nlohmann::json{{"grant_type", "authorization_code"},
                     {"code_verifier", "v+/="},
                     {"code", "a b"},
                     {"client_id", "sandbox-app"}},
      answer.callback());
  ASSERT_TRUE(answer.wait());
  ASSERT_TRUE(answer.result->isSuccess()) << answer.errorText();
  const auto request = wire.only();
  EXPECT_EQ(request.requestLine, "POST /api/v1.1/oauth/token HTTP/1.1");
  EXPECT_EQ(
      request.body,
      "client_id=sandbox-app&code=a%20b&code_verifier=v%2B/%3D&grant_type=authorization_code");
  EXPECT_EQ(request.lines("Content-Type"),
            std::vector<std::string>{"Content-type: application/x-www-form-urlencoded"});
}

TEST_F(NetworkCoreRequests, RequestsThatCannotBeBuiltFailAtOnceOnTheCallingThread) {
  const std::string echo = idURL("/test/echo");
  struct Case {
    std::string url;
    ZTHTTPMethod method;
    nlohmann::json body;
    ZTNetworkError expected;
  };
  const Case cases[] = {
      {"https://id.zentrel.com/a b", ZTHTTPMethod::get, nlohmann::json::object(),
       ZTNetworkError::wrongURL()},
      {"https://id.zentrel.com/a b", ZTHTTPMethod::post, nlohmann::json::object(),
       ZTNetworkError::wrongURL()},
      {echo, ZTHTTPMethod::get, nlohmann::json::array({1}),
       ZTNetworkError::cannotEncodeParameters()},
      {echo, ZTHTTPMethod::post, nlohmann::json{{"k", "\xFF"}}, ZTNetworkError::cannotEncodeBody()},
  };
  for (const auto& c : cases) {
    Outcome<ZTResponse> outcome;
    ZTNetworkCore::requestRequiredStatusCodeAnswer(c.url, c.method, {}, c.body, outcome.callback());
    ASSERT_TRUE(outcome.result.has_value())
        << c.url << " " << c.body << ": not reported before returning";
    EXPECT_EQ(outcome.error(), c.expected) << c.url << " " << c.body;
  }

  Outcome<EmptyBody> strict, form, badForm;
  ZTNetworkCore::requestRequired200StatusCodeAnswer<EmptyBody>("no scheme", ZTHTTPMethod::get, {},
                                                               EmptyBody(), strict.callback());
  ZTNetworkCore::postRequestWithUrlEncoded<EmptyBody>("https://id.zentrel.com/a b", {}, EmptyBody(),
                                                      form.callback());
  ZTNetworkCore::postRequestWithUrlEncoded<EmptyBody>(echo, {}, nlohmann::json::array({"x"}),
                                                      badForm.callback());
  ASSERT_TRUE(strict.result && form.result && badForm.result);
  EXPECT_EQ(strict.error(), ZTNetworkError::wrongURL());
  EXPECT_EQ(form.error(), ZTNetworkError::wrongURL());
  EXPECT_EQ(badForm.error(), ZTNetworkError::cannotEncodeParameters());
  EXPECT_EQ(sb().count("test.echo"), 0u);
}

TEST_F(NetworkCoreRequests, LenientModeHandsBackEveryStatusOnTheMainQueue) {
  Outcome<ZTResponse> serverError, emptyAnswer;
  ZTNetworkCore::requestRequiredStatusCodeAnswer(statusURL(500, "%7B%22error%22:1%7D"),
                                                 ZTHTTPMethod::get, {}, EmptyBody(),
                                                 serverError.callback());
  ZTNetworkCore::requestRequiredStatusCodeAnswer(statusURL(200), ZTHTTPMethod::get, {}, EmptyBody(),
                                                 emptyAnswer.callback());
  EXPECT_FALSE(serverError.result.has_value());
  ASSERT_TRUE(serverError.wait() && emptyAnswer.wait());
  EXPECT_TRUE(serverError.onMain && emptyAnswer.onMain);
  ASSERT_TRUE(serverError.result->isSuccess()) << serverError.errorText();
  EXPECT_EQ(serverError.value().statusCode, 500);
  EXPECT_EQ(nettest::text(serverError.value().data), R"({"error":1})");
  ASSERT_TRUE(emptyAnswer.result->isSuccess());
  EXPECT_EQ(emptyAnswer.value().statusCode, 200);
  ASSERT_TRUE(emptyAnswer.value().data.has_value());
  EXPECT_TRUE(emptyAnswer.value().data->empty());
}

TEST_F(NetworkCoreRequests, StrictModeJudgesStatusAndDecodesStrictly) {
  const auto strict = [](const std::string& url) {
    auto outcome = std::make_unique<Outcome<TokenAnswer>>();
    ZTNetworkCore::requestRequired200StatusCodeAnswer<TokenAnswer>(
        url, ZTHTTPMethod::get, {}, EmptyBody(), outcome->callback());
    return outcome;
  };
  auto good = strict(statusURL(200, "%7B%22access_token%22:%22t1%22,%22expires_in%22:60%7D"));
  auto unauthorized = strict(statusURL(401, "denied", "text/plain"));
  auto noContent = strict(statusURL(204));
  auto notFound = strict(statusURL(404, "missing", "text/plain"));
  auto missingKey = strict(statusURL(200, "%7B%22access_token%22:%22t1%22%7D"));
  auto wrongType = strict(statusURL(200, "%7B%22access_token%22:1,%22expires_in%22:60%7D"));
  auto notJson = strict(statusURL(200, "%3Chtml%3E", "text/html"));
  for (auto* o : {good.get(), unauthorized.get(), noContent.get(), notFound.get(), missingKey.get(),
                  wrongType.get(), notJson.get()}) {
    ASSERT_TRUE(o->wait());
    EXPECT_TRUE(o->onMain);
  }
  ASSERT_TRUE(good->result->isSuccess()) << good->errorText();
  EXPECT_EQ(good->value().accessToken, "t1");
  EXPECT_EQ(good->value().expiresIn, 60);
  EXPECT_EQ(unauthorized->errorText(), "unauthorized");
  EXPECT_EQ(unauthorized->error(), ZTNetworkError::unauthorized());
  EXPECT_EQ(noContent->errorText(), "answer has not status code = 200 (204)");
  EXPECT_EQ(notFound->errorText(), "answer has not status code = 200 (404)");
  EXPECT_EQ(missingKey->errorText(), "cannot decode answer");
  EXPECT_EQ(wrongType->errorText(), "cannot decode answer");
  EXPECT_EQ(notJson->error(), ZTNetworkError::decodingError());
}

TEST_F(NetworkCoreRequests, EmptyBodyAnswerIgnoresWhatA200Carries) {
  sb().inject("test.echo", sandbox::Fault::notJson());
  Outcome<EmptyBody> notJson, empty, failed;
  ZTNetworkCore::requestRequired200StatusCodeAnswer<EmptyBody>(
      idURL("/test/echo"), ZTHTTPMethod::post, {}, EmptyBody(), notJson.callback());
  ZTNetworkCore::requestRequired200StatusCodeAnswer<EmptyBody>(statusURL(200), ZTHTTPMethod::get,
                                                               {}, EmptyBody(), empty.callback());
  ZTNetworkCore::requestRequired200StatusCodeAnswer<EmptyBody>(
      statusURL(500, "x", "text/plain"), ZTHTTPMethod::get, {}, EmptyBody(), failed.callback());
  ASSERT_TRUE(notJson.wait() && empty.wait() && failed.wait());
  ASSERT_TRUE(notJson.result->isSuccess()) << notJson.errorText();
  EXPECT_TRUE(notJson.value().success);
  ASSERT_TRUE(empty.result->isSuccess()) << empty.errorText();
  EXPECT_EQ(failed.errorText(), "answer has not status code = 200 (500)");
}

}  // namespace
