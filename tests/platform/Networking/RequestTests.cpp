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
