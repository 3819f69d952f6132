// Server core: certificate chain per host, host check, request log, raw listener, stop.
#include "SandboxFixture.hpp"

#include <chrono>
#include <future>
#include <thread>

namespace sbtest {
namespace {

using namespace std::chrono_literals;

class ServerTest : public SandboxTest {};

TEST_F(ServerTest, ChainVerifiesForEveryHostNameAndLoopbackName) {
  for (auto host : sandbox::Sandbox::kHosts) {
    const auto r = get(std::string(host), "/test/echo");
    EXPECT_EQ(r.error, "") << host;
    EXPECT_EQ(r.status, 200) << host;
    EXPECT_NE(r.peerIssuer.find("ZentrelSDK sandbox CA "), std::string::npos) << r.peerIssuer;
    EXPECT_EQ(r.json().value("sni", ""), host);
  }
  t::Request local;
  local.host = "localhost";
  local.target = "/test/echo";
  EXPECT_EQ(t::send(sb(), local).status, 200);
  local.host = "127.0.0.1";
  EXPECT_EQ(t::send(sb(), local).status, 200);
}

TEST_F(ServerTest, ChainFailsForOtherNamesAndOtherSandboxes) {
  t::Request r;
  r.host = "id.zentrel.com";
  r.verifyName = "evil.example.com";
  r.target = "/test/echo";
  const auto wrongName = t::send(sb(), r);
  EXPECT_NE(wrongName.error.find("certificate verify failed"), std::string::npos)
      << wrongName.error;

  // Every instance has its own CA (with its own subject): one never vouches for the other.
  sandbox::Sandbox other;
  EXPECT_NE(other.caPem(), sb().caPem());
  r.verifyName.reset();
  const auto foreign = t::send(sb().port(), other.caPem(), r);
  EXPECT_NE(foreign.error.find("certificate verify failed"), std::string::npos) << foreign.error;
  EXPECT_EQ(t::send(other.port(), other.caPem(), r).status, 200);
}

TEST_F(ServerTest, RoutesNameTheFourHosts) {
  const auto routes = sb().routes();
  ASSERT_EQ(routes.size(), 4u);
  EXPECT_EQ(routes[0], "id.zentrel.com:443:127.0.0.1:" + std::to_string(sb().port()));
  EXPECT_EQ(routes[3], "api.dev.zentrel.com:443:127.0.0.1:" + std::to_string(sb().port()));
  EXPECT_EQ(sandbox::Sandbox::baseUrl("api.zentrel.com"), "https://api.zentrel.com");
}

TEST_F(ServerTest, HostCheckAnswers421ForTheOtherServer) {
  auto r = get("api.zentrel.com", "/api/v1.1/auth/check");
  EXPECT_EQ(r.status, 421);
  EXPECT_EQ(r.body, "wrong host");
  r = get("id.dev.zentrel.com", "/v1/user");
  EXPECT_EQ(r.status, 421);
  EXPECT_EQ(get("api.dev.zentrel.com", "/v1/user").status, 401);
  EXPECT_EQ(get("id.dev.zentrel.com", "/api/v1.1/auth/check").status, 401);

  // A port in Host is ignored.
  t::Request withPort;
  withPort.host = "id.zentrel.com";
  withPort.target = "/api/v1.1/auth/check";
  withPort.headers = {{"Host", "id.zentrel.com:443"}};
  EXPECT_EQ(t::send(sb(), withPort).status, 401);
  EXPECT_EQ(sb().requests("auth.check").back().host, "id.zentrel.com:443");
}

TEST_F(ServerTest, NonStrictHostsServeEverywhere) {
  sandbox::Sandbox::Options options;
  options.strictHosts = false;
  options.rawListener = false;
  sandbox::Sandbox loose(options);
  EXPECT_EQ(t::get(loose, "api.zentrel.com", "/api/v1.1/auth/check").status, 401);
  EXPECT_EQ(loose.rawPort(), -1);
}

TEST_F(ServerTest, LogKeepsTheRequestAsSent) {
  t::Request r;
  r.method = "GET";
  r.host = "id.zentrel.com";
  r.target = "/api/v1.1/auth/recover?email=a%2Bb%40example.com&x=1+2&eq=k=v=w";
  r.headers = {{"Authorization", "Bearer "}, {"Cookie", "zt_sandbox=abc"}};
  EXPECT_EQ(t::send(sb(), r).status, 400);
  ASSERT_TRUE(sb().waitFor("recover.request", 1, 2s));
  const auto e = sb().requests("recover.request").at(0);
  EXPECT_EQ(e.method, "GET");
  EXPECT_EQ(e.host, "id.zentrel.com");
  EXPECT_EQ(e.target, r.target);
  EXPECT_EQ(e.path, "/api/v1.1/auth/recover");
  EXPECT_EQ(e.param("email"), "a+b@example.com");
  EXPECT_EQ(e.param("x"), "1+2");  // a literal '+' stays '+'
  EXPECT_EQ(e.param("eq"), "k=v=w");
  EXPECT_EQ(e.header("authorization"), "Bearer");
  EXPECT_EQ(e.header("Cookie"), "zt_sandbox=abc");
  EXPECT_FALSE(e.header("REMOTE_ADDR").has_value());
  EXPECT_EQ(e.status, 400);
  EXPECT_TRUE(e.done);
  EXPECT_EQ(sb().count("recover.request"), 1u);
  EXPECT_GT(e.seq, 0u);
}

TEST_F(ServerTest, UnroutedAndRejectedRequestsAreLoggedToo) {
  EXPECT_EQ(get("id.zentrel.com", "/login?login_challenge=x").status, 404);
  // cpp-httplib refuses an unknown method at the request line, before any handler runs (and
  // without reading a head, so only that line is sent): still logged.
  const auto bare =
      t::exchange(sb().port(), sb().caPem(), "id.zentrel.com", "BREW /pot HTTP/1.1\r\n");
  EXPECT_EQ(bare.status, 400);
  ASSERT_TRUE(sb().waitFor("", 2, 2s));
  const auto log = sb().requests("");
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].path, "/login");
  EXPECT_EQ(log[0].status, 404);
  EXPECT_EQ(log[1].method, "BREW");
  EXPECT_EQ(log[1].status, 400);
  EXPECT_TRUE(log[1].done);
  sb().clearLog();
  EXPECT_TRUE(sb().requests().empty());
}

TEST_F(ServerTest, RawListenerRecordsTheExactBytes) {
  ASSERT_GT(sb().rawPort(), 0);
  const std::string bytes =
      "POST /raw/path?q=a+b%2Bc HTTP/1.1\r\nHost: api.zentrel.com\r\nx-request-code:\r\n"
      "Authorization: Bearer \r\nContent-Length: 5\r\n\r\nhello";
  const auto r = t::exchange(sb().rawPort(), sb().caPem(), "api.zentrel.com", bytes);
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, "ok");
  ASSERT_TRUE(sb().waitForRaw(1, 2s));
  const auto raw = sb().rawRequests();
  ASSERT_EQ(raw.size(), 1u);
  EXPECT_EQ(raw[0].bytes, bytes);
  EXPECT_EQ(raw[0].serverName, "api.zentrel.com");
  EXPECT_TRUE(raw[0].complete);

  // Chunked bodies are read to their end; a custom answer is sent as given.
  sb().clearRawRequests();
  sb().setRawAnswer("HTTP/1.1 201 Created\r\nContent-Length: 3\r\nConnection: close\r\n\r\nnew");
  const std::string chunked =
      "PUT /x HTTP/1.1\r\nHost: id.zentrel.com\r\nTransfer-Encoding: "
      "chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n";
  const auto r2 = t::exchange(sb().rawPort(), sb().caPem(), "id.zentrel.com", chunked);
  EXPECT_EQ(r2.status, 201);
  EXPECT_EQ(r2.body, "new");
  ASSERT_TRUE(sb().waitForRaw(1, 2s));
  EXPECT_EQ(sb().rawRequests().at(0).bytes, chunked);
  EXPECT_EQ(sb().rawRoutes().at(1),
            "api.zentrel.com:443:127.0.0.1:" + std::to_string(sb().rawPort()));
}

TEST_F(ServerTest, StopInterruptsDelayedAnswersAtOnce) {
  sandbox::Sandbox own;
  own.inject("test.echo", sandbox::Fault::after(30s));
  auto pending =
      std::async(std::launch::async, [&] { return t::get(own, "id.zentrel.com", "/test/echo"); });
  ASSERT_TRUE([&] {
    for (int i = 0; i < 200 && own.count("test.echo") == 0; ++i) std::this_thread::sleep_for(10ms);
    return own.count("test.echo") == 1;
  }());
  EXPECT_FALSE(own.requests("test.echo").at(0).done);  // pending while it waits
  const auto start = std::chrono::steady_clock::now();
  own.stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
  pending.get();
  own.stop();  // idempotent
}

TEST_F(ServerTest, ResetRestoresTheSeed) {
  sandbox::UserSeed extra;
  extra.email = "extra@example.com";
  extra.password = "password1";
  sb().addUser(extra);
  sb().putFile("a.bin", "x");
  sb().inject("*", sandbox::Fault::answer(500, "boom").repeat(0));
  EXPECT_EQ(get("id.zentrel.com", "/test/echo").status, 500);
  sb().reset();
  EXPECT_FALSE(sb().user("extra@example.com").has_value());
  EXPECT_TRUE(sb().user("user1@example.com").has_value());
  EXPECT_TRUE(sb().requests().empty());
  EXPECT_TRUE(sb().outbox().empty());
  EXPECT_EQ(get("id.zentrel.com", "/test/echo").status, 200);
}

TEST_F(ServerTest, ClockDrivesTimesAndLifetimes) {
  std::atomic<std::int64_t> now{1700000000};
  sb().setClock([&] { return now.load(); });
  const std::string bearer = sb().signIn("user1@example.com");
  auto r = id("/settings", bearer);
  ASSERT_EQ(r.status, 200);
  EXPECT_EQ(r.json()["last_active_at"], 1700000000);
  now += 3599;
  EXPECT_EQ(id("/auth/check", bearer).status, 200);
  now += 1;
  EXPECT_EQ(id("/auth/check", bearer).status, 401);
  sb().setClock(nullptr);
  EXPECT_GT(sb().now(), 1700000000);
}

}  // namespace
}  // namespace sbtest
