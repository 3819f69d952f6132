// How tasks end when they do not get an answer: cancelled, timed out, refused by TLS, or cut.
#include <chrono>
#include <memory>

#include "NetworkTest.hpp"
#include "support/RunLoopSupport.hpp"

namespace nettest {
namespace {

using FailureTests = NetworkTest;
using Clock = std::chrono::steady_clock;

TEST_F(FailureTests, CancelEndsARunningTaskAtOnce) {
  auto s = session();
  auto heard = std::make_shared<TaskEnd>();
  auto& done = heard->done;
  auto& error = heard->error;
  auto task = s->dataTask(url(base() + "/test/delay/10000"), [heard](auto data, auto, auto err) {
    EXPECT_FALSE(data);
    heard->error = std::move(err);
    heard->done = true;
  });
  task->resume();
  EXPECT_EQ(task->state(), URLSessionTask::State::running);
  ASSERT_TRUE(zttest::runUntil([&] { return sb().count("test.delay") == 1; }));
  const auto start = Clock::now();
  task->cancel();
  ASSERT_TRUE(zttest::runUntil([&] { return done.load(); }, 5));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
  ASSERT_TRUE(error);
  EXPECT_EQ(error->domain, NSURLErrorDomain);
  EXPECT_EQ(error->code, NSURLErrorCancelled);
  EXPECT_EQ(error->localizedDescription(), "cancelled");
  EXPECT_EQ(task->state(), URLSessionTask::State::completed);
  EXPECT_EQ(task->error(), error);
}

TEST_F(FailureTests, SilenceLongerThanTheTimeoutIntervalTimesOut) {
  auto s = session();
  URLRequest request(url(base() + "/test/delay/5000"));
  request.timeoutInterval = 0.5;
  const auto start = Clock::now();
  auto o = load(s, request);
  const auto elapsed = Clock::now() - start;
  ASSERT_TRUE(o.error);
  EXPECT_EQ(o.error->code, NSURLErrorTimedOut);
  EXPECT_EQ(o.error->localizedDescription(), "The request timed out.");
  EXPECT_GE(elapsed, std::chrono::milliseconds(450));
  EXPECT_LT(elapsed, std::chrono::milliseconds(3000));

  // A slow answer that keeps arriving is not a time-out.
  URLRequest slow(url(base() + "/test/download/40000?chunk=10000&pause=300"));
  slow.timeoutInterval = 1.0;
  auto trickle = load(s, slow);
  ASSERT_FALSE(trickle.error) << trickle.error->localizedDescription();
  EXPECT_EQ(trickle.data->size(), 40000u);
}

TEST_F(FailureTests, UntrustedCertificateIsRefused) {
  NetworkEnvironment::setAnchorCertificates(std::nullopt);  // the system's anchors only
  auto o = load(session(), URLRequest(url(base() + "/test/echo")));
  ASSERT_TRUE(o.error);
  EXPECT_EQ(o.error->domain, NSURLErrorDomain);
  EXPECT_EQ(o.error->code, NSURLErrorServerCertificateUntrusted);
  EXPECT_NE(o.error->localizedDescription().find("\u201Cid.zentrel.com\u201D"), std::string::npos)
      << o.error->localizedDescription();
  EXPECT_EQ(o.error->userInfo.at(NSURLErrorFailingURLStringErrorKey), base() + "/test/echo");
  EXPECT_FALSE(o.response);
  EXPECT_EQ(sb().count("test.echo"), 0u);

  // Trusted again, the same session connects.
  NetworkEnvironment::setAnchorCertificates(sb().caPem());
  auto again = load(session(), URLRequest(url(base() + "/test/echo")));
  EXPECT_FALSE(again.error);
}

TEST_F(FailureTests, TransportFailuresMapToTheirCodes) {
  struct Row {
    const char* name;
    const char* method;
    bool kept;  // goes out on a connection an answered request left open
    sandbox::Fault fault;
    int code;            // 0: answered after all
    std::size_t onWire;  // requests the sandbox read
  };
  const Row rows[] = {
      {"dropped", "GET", false, sandbox::Fault::drop(), NSURLErrorNetworkConnectionLost, 1},
      {"truncated", "GET", false, sandbox::Fault::truncate(), NSURLErrorNetworkConnectionLost, 1},
      // The server may have acted on what it read: only a repeatable request goes again.
      {"POST dropped on a kept connection", "POST", true, sandbox::Fault::drop(),
       NSURLErrorNetworkConnectionLost, 1},
      {"DELETE dropped on a kept connection", "DELETE", true, sandbox::Fault::drop(),
       NSURLErrorNetworkConnectionLost, 1},
      {"GET dropped on a kept connection", "GET", true, sandbox::Fault::drop(), 0, 2},
  };
  auto s = session();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    trustSandboxAfresh();
    if (row.kept) {
      ASSERT_FALSE(load(s, URLRequest(url(base() + "/test/status/200"))).error);
    }
    sb().clearLog();
    sb().inject("test.echo", sandbox::Fault(row.fault));
    URLRequest request(url(base() + "/test/echo"));
    request.httpMethod = row.method;
    if (request.httpMethod == "POST") {
      // A body that cannot go back to its start: libcurl's resend would first ask it to.
      request.httpBodyStream = std::make_shared<TextStream>("x", false);
    }
    auto o = load(s, request);
    EXPECT_EQ(o.error ? o.error->code : 0, row.code);
    EXPECT_EQ(sb().count("test.echo"), row.onWire);
  }

  ASSERT_TRUE(NetworkEnvironment::addRoute("id.zentrel.com", 443, "127.0.0.1", 1));
  auto refused = load(s, URLRequest(url(base() + "/test/echo")));
  ASSERT_TRUE(refused.error);
  EXPECT_EQ(refused.error->code, NSURLErrorCannotConnectToHost);
}

TEST_F(FailureTests, OnlyHttpsIsLoaded) {
  auto s = session();
  auto plain = load(s, URLRequest(url("http://id.zentrel.com/test/echo")));
  ASSERT_TRUE(plain.error);
  EXPECT_EQ(plain.error->code, NSURLErrorAppTransportSecurityRequiresSecureConnection);
  auto other = load(s, URLRequest(url("ftp://id.zentrel.com/file")));
  ASSERT_TRUE(other.error);
  EXPECT_EQ(other.error->code, NSURLErrorUnsupportedURL);

  URLRequest getWithBody(url(base() + "/test/echo"));
  getWithBody.httpBody = Data{'x'};
  auto refused = load(s, getWithBody);
  ASSERT_TRUE(refused.error);
  EXPECT_EQ(refused.error->code, NSURLErrorDataLengthExceedsMaximum);
  EXPECT_EQ(sb().count("test.echo"), 0u);
}

}  // namespace
}  // namespace nettest
