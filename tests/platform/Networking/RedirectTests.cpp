// Redirects are run by the session: offered to the task delegate, else followed.
#include <sandbox/TestClient.hpp>

#include "NetworkTest.hpp"
#include "support/RunLoopSupport.hpp"

namespace nettest {
namespace {

using RedirectTests = NetworkTest;

// A delegate that refuses the redirect ends the load with the redirect answer itself.
TEST_F(RedirectTests, RefusedRedirectCompletesWithTheRedirectAnswer) {
  auto recorder = std::make_shared<Recorder>();
  recorder->refuseRedirects = true;
  auto s = session(recorder);
  auto o = load(s, URLRequest(url(base() + "/test/redirect/302?to=/test/echo/next")));

  ASSERT_FALSE(o.error);
  EXPECT_EQ(o.response->statusCode(), 302);
  EXPECT_EQ(o.response->value("Location"), "/test/echo/next");
  EXPECT_EQ(text(*o.data), "redirect to /test/echo/next");
  EXPECT_EQ(recorder->events(Event::Kind::redirect).size(), 1u);
  EXPECT_EQ(sb().count("test.echo"), 0u);

  // Delegate-driven: the redirect answer is the response, its body the data.
  auto task = s->dataTask(url(base() + "/test/redirect/307?to=/test/echo/next"));
  task->resume();
  ASSERT_TRUE(zttest::runUntil([&] { return recorder->completedCount() == 1; }));
  const auto responses = recorder->events(Event::Kind::response);
  ASSERT_EQ(responses.size(), 1u);
  EXPECT_EQ(responses[0].status, 307);
  EXPECT_EQ(text(recorder->body()), "redirect to /test/echo/next");
  EXPECT_FALSE(recorder->events(Event::Kind::completed)[0].error);
  EXPECT_EQ(sb().count("test.echo"), 0u);
}

TEST_F(RedirectTests, MethodAndBodyFollowTheStatus) {
  const std::string body = R"({"k":"v"})";
  struct Case {
    int status;
    std::string method;
    bool keepsBody;
  };
  for (const Case& c : {Case{301, "GET", false}, Case{302, "GET", false}, Case{303, "GET", false},
                        Case{307, "POST", true}, Case{308, "POST", true}}) {
    SCOPED_TRACE(c.status);
    auto s = session();
    URLRequest request(
        url(base() + "/test/redirect/" + std::to_string(c.status) + "?to=/test/echo/after"));
    request.httpMethod = "POST";
    request.httpBody = Data(body.begin(), body.end());
    request.setValue("application/json", "Content-Type");
    auto o = load(s, request);
    ASSERT_FALSE(o.error);
    const auto echo = json(*o.data);
    EXPECT_EQ(echo["method"], c.method);
    EXPECT_EQ(echo["bodySize"], c.keepsBody ? body.size() : 0u);
    EXPECT_EQ(echoedHeader(echo, "Content-Type").has_value(), c.keepsBody);
    EXPECT_EQ(echoedHeader(echo, "Content-Length").value_or("0"),
              c.keepsBody ? std::to_string(body.size()) : "0");
  }
}

TEST_F(RedirectTests, AuthorizationStaysWithItsOrigin) {
  auto s = session();
  URLRequest sameOrigin(url(base() + "/test/redirect/302?abs=1&to=/test/echo"));
  sameOrigin.setValue("Bearer secret", "Authorization");
  sameOrigin.setValue("kept", "X-Other");
  auto same = load(s, sameOrigin);
  ASSERT_FALSE(same.error);
  EXPECT_EQ(echoedHeader(json(*same.data), "Authorization"), "Bearer secret");

  URLRequest crossOrigin(url(base() + "/test/redirect/302?host=api.zentrel.com&to=/test/echo"));
  crossOrigin.setValue("Bearer secret", "Authorization");
  crossOrigin.setValue("kept", "X-Other");
  auto cross = load(s, crossOrigin);
  ASSERT_FALSE(cross.error);
  const auto echo = json(*cross.data);
  EXPECT_EQ(echo["host"], "api.zentrel.com");
  EXPECT_FALSE(echoedHeader(echo, "Authorization"));
  EXPECT_EQ(echoedHeader(echo, "X-Other"), "kept");
}

TEST_F(RedirectTests, TwentyHopsAreFollowedButNotMore) {
  auto s = session();
  auto twenty = load(s, URLRequest(url(base() + "/test/redirect/302?n=20&to=/test/echo")));
  ASSERT_FALSE(twenty.error);
  EXPECT_EQ(twenty.response->statusCode(), 200);

  sb().clearLog();
  auto more = load(s, URLRequest(url(base() + "/test/redirect/302?n=21&to=/test/echo")));
  ASSERT_TRUE(more.error);
  EXPECT_EQ(more.error->domain, NSURLErrorDomain);
  EXPECT_EQ(more.error->code, NSURLErrorHTTPTooManyRedirects);
  EXPECT_EQ(more.error->localizedDescription(), "too many HTTP redirects");
  EXPECT_EQ(sb().count("test.echo"), 0u);
}

TEST_F(RedirectTests, NeverFollowedToPlainHttp) {
  auto s = session();
  auto o =
      load(s, URLRequest(url(base() + "/test/redirect/302?to=http://id.zentrel.com/test/echo")));
  ASSERT_TRUE(o.error);
  EXPECT_EQ(o.error->code, NSURLErrorAppTransportSecurityRequiresSecureConnection);
  EXPECT_EQ(sb().count("test.echo"), 0u);
}

}  // namespace
}  // namespace nettest
