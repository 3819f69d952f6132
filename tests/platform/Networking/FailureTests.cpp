// How tasks end when they do not get an answer: cancelled, timed out, refused by TLS, or cut.
#include <chrono>
#include <memory>
#include <string>
#include <utility>

#include "NetworkTest.hpp"
#include "Peers.hpp"
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
      {"HEAD dropped on a kept connection", "HEAD", true, sandbox::Fault::drop(), 0, 2},
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

// The peers stand in for one of the kit's hosts.
constexpr const char* kPeerHost = "api.dev.zentrel.com";

URLRequest postTo(const Peer& peer, const std::string& path, std::string body) {
  EXPECT_TRUE(NetworkEnvironment::addRoute(kPeerHost, 443, "127.0.0.1", peer.port()));
  URLRequest request(url(std::string("https://") + kPeerHost + path));
  request.httpMethod = "POST";
  request.httpBody = Data(body.begin(), body.end());
  return request;
}

int statusOf(const Outcome& o) {
  return o.response ? o.response->statusCode() : 0;
}

// What a data delegate heard of the answer, in order: each response's status, "data" for a run
// of body pieces, and the end ("done", or the error code).
std::string heard(const Recorder& recorder) {
  std::string out;
  for (const auto& e : recorder.events()) {
    std::string step;
    if (e.kind == Event::Kind::response) step = std::to_string(e.status);
    if (e.kind == Event::Kind::data && !out.ends_with("data")) step = "data";
    if (e.kind == Event::Kind::completed) step = e.error ? std::to_string(e.error->code) : "done";
    if (!step.empty()) out += (out.empty() ? "" : " ") + step;
  }
  return out;
}

// "hello", whose first read waits until the peer has reset the connection: libcurl sends into
// the reset connection before it has read anything from it.
class BodyAfterReset : public TextStream {
 public:
  explicit BodyAfterReset(TlsPeer& peer) : TextStream("hello", true), peer_(peer) {}
  std::ptrdiff_t read(std::uint8_t* buffer, std::size_t maxLength) override {
    if (!std::exchange(reset_, true)) {
      peer_.closeIdle(TlsPeer::Close::reset);
      EXPECT_TRUE(peer_.waitUntil([&] { return peer_.closes() == 1; }));
    }
    return TextStream::read(buffer, maxLength);
  }

 private:
  TlsPeer& peer_;
  bool reset_ = false;  // read on the session thread only
};

// A request not safe to repeat goes again only where the server shows it did not act on it.
TEST_F(FailureTests, UnsafeRequestsGoAgainOnlyWhereTheServerDidNotTakeThem) {
  enum class Case { expect, stream, resetWhileSending };
  using Refuse = TlsPeer::Refuse;
  struct Row {
    const char* name;
    Case what;
    Refuse refuse;            // the Expect
    int refusals;             // HTTP/2 streams refused
    int status;               // 0: fails with the connection-lost error
    std::size_t onWire;       // the request's heads or streams the server read
    std::size_t connections;  // the server accepted (0: any)
  };
  const Row rows[] = {
      {"417 before the body", Case::expect, Refuse::beforeBody, 0, 200, 2, 1},
      {"417 once the whole body is in: the answer", Case::expect, Refuse::afterBody, 0, 417, 1, 1},
      {"HTTP/2 stream refused", Case::stream, Refuse::never, 1, 200, 2, 2},
      {"HTTP/2 stream refused twice", Case::stream, Refuse::never, 2, 0, 2, 0},
      // libcurl sees its send fail, tries nothing itself: the engine's own resend is asked.
      {"reset while the body goes out on a kept connection", Case::resetWhileSending, Refuse::never,
       0, 0, 1, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    trustSandboxAfresh();
    std::unique_ptr<Peer> peer;
    auto recorder = std::make_shared<Recorder>();
    auto s = session(recorder);
    if (row.what == Case::stream) {
      auto http2 = std::make_unique<Http2Peer>(sb());
      http2->refusePosts(row.refusals);
      peer = std::move(http2);
    } else {
      auto tls = std::make_unique<TlsPeer>(sb());
      tls->refuseExpect(row.refuse);
      if (row.what == Case::resetWhileSending) {
        ASSERT_EQ(statusOf(load(s, postTo(*tls, "/first", "x"))), 200);
      }
      peer = std::move(tls);
    }
    auto request = postTo(*peer, "/post", "hello");
    if (row.what == Case::expect) request.setValue("100-continue", "Expect");
    if (row.what == Case::resetWhileSending) {
      request.httpBody.reset();
      request.httpBodyStream = std::make_shared<BodyAfterReset>(static_cast<TlsPeer&>(*peer));
      request.setValue("5", "Content-Length");
    }
    s->dataTask(request)->resume();
    ASSERT_TRUE(zttest::runUntil([&] { return recorder->completedCount() == 1; }, 20));
    EXPECT_EQ(heard(*recorder), row.status == 0 ? std::to_string(NSURLErrorNetworkConnectionLost)
                                                : std::to_string(row.status) + " data done");
    EXPECT_EQ(peer->requests("POST", "/post"), row.onWire);
    if (row.connections > 0) {
      EXPECT_EQ(peer->connections(), row.connections);
    }
    if (row.status != 0) {
      EXPECT_EQ(text(recorder->body()), row.status == 200 ? "ok" : "refused");
      const auto bodies = peer->bodies();
      ASSERT_FALSE(bodies.empty());
      EXPECT_EQ(bodies.back(), "hello");
    }
    if (auto* tls = dynamic_cast<TlsPeer*>(peer.get());
        tls && row.refuse == TlsPeer::Refuse::beforeBody) {
      const auto heads = tls->heads();
      ASSERT_FALSE(heads.empty());
      EXPECT_EQ(heads.back().find("Expect"), std::string::npos) << heads.back();
    }
  }
}

// Between requests a kept connection may carry what is not an answer: a late TLS session
// ticket, other streams' frames. It still carries the next unsafe request; only a connection
// the server is closing sends that request, once, on a new one.
TEST_F(FailureTests, UnsafeRequestsKeepTheConnectionUntilTheServerClosesIt) {
  {
    SCOPED_TRACE("TLS 1.3 ticket after each answer");
    trustSandboxAfresh();
    TlsPeer peer(sb());
    peer.sendTicketsLate(true);
    auto s = session();
    for (std::size_t i = 1; i <= 10; ++i) {
      EXPECT_EQ(statusOf(load(s, postTo(peer, "/post", "x"))), 200);
      // The ticket waits on the idle connection before the next request goes.
      ASSERT_TRUE(peer.waitUntil([&] { return peer.tickets() == i; }));
    }
    EXPECT_EQ(peer.requests("POST"), 10u);
    EXPECT_EQ(peer.connections(), 1u);
  }
  {
    SCOPED_TRACE("HTTP/2 beside a streaming GET");
    trustSandboxAfresh();
    Http2Peer peer(sb());
    auto s = session();
    EXPECT_TRUE(NetworkEnvironment::addRoute(kPeerHost, 443, "127.0.0.1", peer.port()));
    // The GET's bytes arrive a piece after each answer, so they are there when POSTs go out.
    auto streamed = std::make_shared<std::optional<Outcome>>();
    auto mutex = std::make_shared<std::mutex>();
    s->dataTask(url(std::string("https://") + kPeerHost + "/stream?size=3000000&pieces=11"),
                [streamed, mutex](auto data, auto, auto error) {
                  std::lock_guard lock(*mutex);
                  *streamed = Outcome{std::move(data), nullptr, std::move(error)};
                })
        ->resume();
    ASSERT_TRUE(peer.waitUntil([&] { return peer.requests("GET", "/stream") == 1; }));
    for (int i = 0; i < 10; ++i) EXPECT_EQ(statusOf(load(s, postTo(peer, "/post", "x"))), 200);
    ASSERT_TRUE(zttest::runUntil([&] {
      std::lock_guard lock(*mutex);
      return streamed->has_value();
    }));
    std::lock_guard lock(*mutex);
    ASSERT_TRUE((*streamed)->data);
    const std::string pattern = sandbox::testPattern(0, 3000000);
    EXPECT_TRUE(*(*streamed)->data == Data(pattern.begin(), pattern.end()));
    EXPECT_EQ(peer.requests("POST"), 10u);
    EXPECT_EQ(peer.connections(), 1u);
  }
  const std::pair<const char*, TlsPeer::Close> closes[] = {
      {"close alert and end of stream", TlsPeer::Close::clean},
      {"reset", TlsPeer::Close::reset},
      {"end of stream without close alert", TlsPeer::Close::endOfStream},
      {"close alert alone", TlsPeer::Close::alertOnly},
  };
  for (const auto& [name, how] : closes) {
    SCOPED_TRACE(name);
    trustSandboxAfresh();
    TlsPeer peer(sb());
    auto s = session();
    EXPECT_EQ(statusOf(load(s, postTo(peer, "/first", "x"))), 200);
    peer.closeIdle(how);
    ASSERT_TRUE(peer.waitUntil([&] { return peer.closes() == 1; }));
    auto o = load(s, postTo(peer, "/next", "y"));
    EXPECT_EQ(statusOf(o), 200) << (o.error ? o.error->localizedDescription() : "");
    EXPECT_EQ(peer.requests("POST", "/next"), 1u);
    EXPECT_EQ(peer.connections(), 2u);
  }
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
