// Server core: certificate chain per host, host check, request log, raw listener, stop.
#include "SandboxFixture.hpp"

#include <chrono>
#include <future>
#include <thread>

namespace sbtest {
namespace {

using namespace std::chrono_literals;

class ServerTest : public SandboxTest {};

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

}  // namespace
}  // namespace sbtest
