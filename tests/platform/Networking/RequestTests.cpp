// Requests as they leave the session and answers as they come back.
#include <sandbox/TestClient.hpp>

#include "NetworkTest.hpp"

namespace nettest {
namespace {

using RequestTests = NetworkTest;

bool containsNoCase(const std::string& haystack, const std::string& needle) {
  auto lower = [](std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  return lower(haystack).find(lower(needle)) != std::string::npos;
}

TEST_F(RequestTests, GetCompletesOnTheDelegateQueueWithResponseAndBody) {
  auto s = session();
  URLRequest request(url(base() + "/test/status/200?body=hello&type=text/plain;%20charset=UTF-8"
                                  "&header=X-Extra:%20one"));
  auto o = load(s, request);

  ASSERT_FALSE(o.error) << o.error->localizedDescription();
  ASSERT_TRUE(o.response);
  EXPECT_TRUE(o.onDelegateQueue);
  EXPECT_FALSE(o.onMainThread);
  EXPECT_EQ(o.response->statusCode(), 200);
  EXPECT_EQ(o.response->url(), *request.url);
  EXPECT_EQ(text(o.data.value_or(Data{})), "hello");
  EXPECT_EQ(o.response->expectedContentLength(), 5);
  EXPECT_EQ(o.response->mimeType(), "text/plain");
  EXPECT_EQ(o.response->textEncodingName(), "utf-8");
  EXPECT_EQ(o.response->value("x-extra"), "one");
  EXPECT_EQ(o.response->value("X-EXTRA"), "one");
  EXPECT_FALSE(o.response->value("X-Missing"));
}

TEST_F(RequestTests, ErrorStatusesAndEmptyBodiesAreAnswersNotFailures) {
  auto s = session();
  auto failed = load(s, URLRequest(url(base() + "/test/status/500?body=boom")));
  ASSERT_FALSE(failed.error);
  EXPECT_EQ(failed.response->statusCode(), 500);
  EXPECT_EQ(text(*failed.data), "boom");

  auto empty = load(s, URLRequest(url(base() + "/test/status/204")));
  ASSERT_FALSE(empty.error);
  EXPECT_EQ(empty.response->statusCode(), 204);
  ASSERT_TRUE(empty.data.has_value());  // present, and empty
  EXPECT_TRUE(empty.data->empty());
}

TEST_F(RequestTests, PostCarriesOnlyTheCallersHeadersOnTheWire) {
  WireTrace trace;
  auto s = session();
  const std::string body = R"({"email":"user@example.com"})";
  URLRequest request(url(base() + "/test/echo"));
  request.httpMethod = "POST";
  request.httpBody = Data(body.begin(), body.end());
  request.setValue("Bearer ", "Authorization");
  request.setValue("", "x-request-code");
  request.setValue("first", "X-Order");
  auto o = load(s, request);

  ASSERT_FALSE(o.error);
  const auto headers = trace.requestHeaders(s);
  ASSERT_EQ(headers.size(), 1u);
  const std::string& h = headers[0];
  EXPECT_TRUE(h.starts_with("POST /test/echo HTTP/1.1\r\n")) << h;
  EXPECT_FALSE(containsNoCase(h, "Content-Type")) << h;
  EXPECT_FALSE(containsNoCase(h, "Expect")) << h;
  EXPECT_FALSE(containsNoCase(h, "Accept-Encoding")) << h;
  EXPECT_NE(h.find("\r\nContent-Length: " + std::to_string(body.size()) + "\r\n"),
            std::string::npos)
      << h;
  // The empty header goes out as an empty header, the blank after "Bearer" stays.
  EXPECT_NE(h.find("\r\nx-request-code:\r\n"), std::string::npos) << h;
  EXPECT_NE(h.find("\r\nAuthorization: Bearer \r\n"), std::string::npos) << h;
  EXPECT_LT(h.find("Authorization:"), h.find("X-Order: first"));

  const auto echo = json(*o.data);
  EXPECT_EQ(echo["method"], "POST");
  EXPECT_EQ(echo["body"], body);
  EXPECT_FALSE(echoedHeader(echo, "Content-Type"));
}

TEST_F(RequestTests, TheServerReceivesExactlyTheseBytes) {
  for (const auto& host : sandbox::Sandbox::kHosts) {
    ASSERT_TRUE(NetworkEnvironment::addRoute(host, 443, "127.0.0.1", sb().rawPort()));
  }
  auto s = session();
  URLRequest request(url(base("api.zentrel.com") + "/v1/user?x=1"));
  request.httpMethod = "POST";
  request.httpBody = Data{'{', '}'};
  request.setValue("", "x-request-code");
  request.setValue("Bearer token", "Authorization");
  auto o = load(s, request);
  ASSERT_FALSE(o.error) << o.error->localizedDescription();
  EXPECT_EQ(text(*o.data), "ok");

  ASSERT_TRUE(sb().waitForRaw(1, std::chrono::seconds(5)));
  const auto raw = sb().rawRequests().at(0);
  EXPECT_EQ(raw.serverName, "api.zentrel.com");
  EXPECT_EQ(raw.bytes,
            "POST /v1/user?x=1 HTTP/1.1\r\n"
            "Host: api.zentrel.com\r\n"
            "Accept: */*\r\n"
            "x-request-code:\r\n"
            "Authorization: Bearer token\r\n"
            "Content-Length: 2\r\n"
            "\r\n"
            "{}");
}

TEST_F(RequestTests, BodilessPostSendsAZeroLengthAndGetSendsNone) {
  WireTrace trace;
  auto s = session();
  URLRequest post(url(base() + "/test/echo/post"));
  post.httpMethod = "POST";
  auto posted = load(s, post);
  ASSERT_FALSE(posted.error);
  EXPECT_EQ(posted.response->statusCode(), 200);
  auto got = load(s, URLRequest(url(base() + "/test/echo/get")));
  ASSERT_FALSE(got.error);

  const auto headers = trace.requestHeaders(s);
  ASSERT_EQ(headers.size(), 2u);
  EXPECT_NE(headers[0].find("\r\nContent-Length: 0\r\n"), std::string::npos) << headers[0];
  EXPECT_FALSE(containsNoCase(headers[0], "Content-Type")) << headers[0];
  EXPECT_TRUE(headers[1].starts_with("GET /test/echo/get HTTP/1.1\r\n")) << headers[1];
  EXPECT_FALSE(containsNoCase(headers[1], "Content-Length")) << headers[1];
}

TEST_F(RequestTests, LargeBodyGoesWithoutExpectContinueAndArrivesWhole) {
  WireTrace trace;
  auto s = session();
  std::string body = sandbox::testPattern(0, 2 << 20);
  URLRequest request(url(base() + "/test/echo"));
  request.httpMethod = "PUT";
  request.httpBody = Data(body.begin(), body.end());
  request.setValue("application/octet-stream", "Content-Type");
  auto o = load(s, request);

  ASSERT_FALSE(o.error);
  const auto echo = json(*o.data);
  EXPECT_EQ(echo["method"], "PUT");
  EXPECT_EQ(echo["bodySize"], body.size());
  EXPECT_EQ(echo["bodySha256"], sandbox::testing::sha256Hex(body));
  EXPECT_EQ(echoedHeader(echo, "Content-Type"), "application/octet-stream");
  const auto headers = trace.requestHeaders(s);
  ASSERT_EQ(headers.size(), 1u);
  EXPECT_FALSE(containsNoCase(headers[0], "Expect")) << headers[0];
}

TEST_F(RequestTests, AHeaderSetTwiceUnderAnySpellingGoesOutOnce) {
  WireTrace trace;
  auto s = session();
  URLRequest request(url(base() + "/test/echo"));
  request.setValue("old", "X-Token");
  request.setValue("new", "x-token");
  request.setValue("gone", "X-Removed");
  request.setValue(std::nullopt, "x-removed");
  auto o = load(s, request);

  ASSERT_FALSE(o.error);
  const auto echo = json(*o.data);
  EXPECT_EQ(echoedHeader(echo, "X-Token"), "new");
  EXPECT_FALSE(echoedHeader(echo, "X-Removed"));
  const auto h = trace.requestHeaders(s).at(0);
  EXPECT_NE(h.find("\r\nX-Token: new\r\n"), std::string::npos) << h;
  EXPECT_EQ(h.find("old"), std::string::npos) << h;
}

}  // namespace
}  // namespace nettest
