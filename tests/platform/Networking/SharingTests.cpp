// Connections shared by the sessions of one process, and kept apart by TLS settings and route.

#include <functional>
#include <map>
#include <thread>

#include "NetworkTest.hpp"
#include "support/RunLoopSupport.hpp"

namespace nettest {
namespace {

using SharingTests = NetworkTest;

URLSessionConfiguration configuration(bool cookies) {
  auto c = URLSessionConfiguration::defaultConfiguration();
  if (!cookies) c.httpCookieStorage = nullptr;
  return c;
}

// The PEM of a CA the sandbox does not sign with.
const std::string& otherCaPem() {
  static const std::string pem = [] {
    sandbox::Sandbox::Options options;
    options.threads = 2;
    options.rawListener = false;
    return sandbox::Sandbox(options).caPem();
  }();
  return pem;
}

struct SharingRow {
  const char* name;
  bool cookies;
  // What changes in the network environment before the second session's request.
  std::function<void(const sandbox::Sandbox&)> change;
  bool shared;
};

TEST_F(SharingTests, SecondSessionRidesTheFirstOnesConnectionUnlessTLSOrRouteDiffer) {
  const std::vector<SharingRow> rows = {
      {"same configuration", true, [](const auto&) {}, true},
      {"both without cookies", false, [](const auto&) {}, true},
      {"another CA trusted as well", true, [](const auto&) { trustSandboxAfresh(otherCaPem()); },
       false},
      {"the host routed through another name", true,
       [](const sandbox::Sandbox& server) {
         ASSERT_TRUE(
             NetworkEnvironment::addRoute("id.zentrel.com", 443, "localhost", server.port()));
       },
       false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    zttest::useSandbox();
    trustSandboxAfresh();
    auto first = URLSession::make(configuration(row.cookies));
    auto o = load(first, URLRequest(url(base() + "/test/echo/first")));
    ASSERT_FALSE(o.error) << o.error->localizedDescription();
    EXPECT_EQ(first->newConnectionCount(), 1u);

    row.change(sb());
    auto second = URLSession::make(configuration(row.cookies));
    o = load(second, URLRequest(url(base() + "/test/echo/second")));
    ASSERT_FALSE(o.error) << o.error->localizedDescription();
    EXPECT_EQ(json(*o.data).value("path", ""), "/test/echo/second");
    EXPECT_EQ(second->newConnectionCount(), row.shared ? 0u : 1u);

    // The settings decide, not the session: the first one's next request rides the
    // connection made under the settings now in force.
    o = load(first, URLRequest(url(base() + "/test/echo/again")));
    ASSERT_FALSE(o.error) << o.error->localizedDescription();
    EXPECT_EQ(first->newConnectionCount(), 1u);
    EXPECT_EQ(second->newConnectionCount(), row.shared ? 0u : 1u);
  }
}

// Sessions made and dropped on many threads while their transfers hand connections to one
// another: every task ends exactly once with its own answer.
TEST_F(SharingTests, SessionsOnManyThreadsHandConnectionsOnSafely) {
  constexpr int rounds = 4;
  constexpr int sessions = 4;
  constexpr int perSession = 4;
  struct Tally {
    std::mutex mutex;
    std::map<std::string, int> completions;
    int total() {
      std::lock_guard lock(mutex);
      int n = 0;
      for (const auto& [path, count] : completions) n += count;
      return n;
    }
  };
  auto tally = std::make_shared<Tally>();  // a late handler must not reach the test's stack
  for (int round = 0; round < rounds; ++round) {
    std::vector<std::thread> starters;
    for (int s = 0; s < sessions; ++s) {
      starters.emplace_back([tally, round, s] {
        // Dropped at once: the tasks keep it alive until they end.
        auto session = URLSession::make(configuration(true));
        for (int i = 0; i < perSession; ++i) {
          const std::string host = i % 2 == 0 ? "id.zentrel.com" : "api.zentrel.com";
          const std::string path = "/test/echo/" + std::to_string(round) + "-" + std::to_string(s) +
                                   "-" + std::to_string(i);
          session
              ->dataTask(url(base(host) + path),
                         [tally, path](auto data, auto response, auto error) {
                           auto http = std::dynamic_pointer_cast<HTTPURLResponse>(response);
                           const bool ok = !error && http && http->statusCode() == 200 && data &&
                                           json(*data).value("path", "") == path;
                           std::lock_guard lock(tally->mutex);
                           tally->completions[ok ? path : "failed " + path] += 1;
                         })
              ->resume();
        }
      });
    }
    for (auto& starter : starters) starter.join();
    ASSERT_TRUE(zttest::runUntil(
        [&] { return tally->total() >= (round + 1) * sessions * perSession; }, 30));
  }
  std::lock_guard lock(tally->mutex);
  EXPECT_EQ(tally->completions.size(), static_cast<std::size_t>(rounds * sessions * perSession));
  for (const auto& [path, count] : tally->completions) EXPECT_EQ(count, 1) << path;
}

}  // namespace
}  // namespace nettest
