#include "support/SandboxFixture.hpp"

#include <memory>

#include <Foundation/NetworkEnvironment.hpp>

namespace zttest {

namespace {

void routeTo(const sandbox::Sandbox& server) {
  for (const auto& route : server.routes()) {
    EXPECT_TRUE(Foundation::NetworkEnvironment::addRoute(route)) << route;
  }
  Foundation::NetworkEnvironment::setAnchorCertificates(server.caPem());
}

std::unique_ptr<sandbox::Sandbox>& serverSlot() {
  static std::unique_ptr<sandbox::Sandbox> server;
  return server;
}

// Stops the sandbox when the tests are over: its server threads must not outlive the HTTP
// library's own statics, which go first at exit.
class SandboxShutdown : public ::testing::Environment {
 public:
  void TearDown() override {
    if (serverSlot()) serverSlot()->stop();
  }
};

[[maybe_unused]] const auto* const kShutdown =
    ::testing::AddGlobalTestEnvironment(new SandboxShutdown());

}  // namespace

sandbox::Sandbox& sandboxServer() {
  static std::once_flag once;
  std::call_once(once, [] {
    serverSlot() = std::make_unique<sandbox::Sandbox>();
    routeTo(*serverSlot());
  });
  return *serverSlot();
}

void useSandbox() {
  routeTo(sandboxServer());
}

void SandboxTest::SetUp() {
  sb().reset();
  useSandbox();
}

}  // namespace zttest
