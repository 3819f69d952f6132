#include "support/SandboxFixture.hpp"

#include <memory>
#include <mutex>

#include <Foundation/NetworkEnvironment.hpp>

namespace zttest {

namespace {

void routeTo(const sandbox::Sandbox& server) {
  for (const auto& route : server.routes()) {
    EXPECT_TRUE(Foundation::NetworkEnvironment::addRoute(route)) << route;
  }
  Foundation::NetworkEnvironment::setAnchorCertificates(server.caPem());
}

}  // namespace

sandbox::Sandbox& sandboxServer() {
  static std::once_flag once;
  static std::unique_ptr<sandbox::Sandbox> server;
  std::call_once(once, [] {
    server = std::make_unique<sandbox::Sandbox>();
    routeTo(*server);
  });
  return *server;
}

void useSandbox() {
  routeTo(sandboxServer());
}

void SandboxTest::SetUp() {
  sb().reset();
  useSandbox();
}

}  // namespace zttest
