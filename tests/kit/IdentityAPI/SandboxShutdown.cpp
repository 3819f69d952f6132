// Stops the shared sandbox when the tests are over: its server threads must not outlive the
// server library's own statics, which go first at exit.

#include <gtest/gtest.h>

#include "IdentitySupport.hpp"

namespace {

class SandboxShutdown : public ::testing::Environment {
 public:
  void TearDown() override {
    if (idtest::sandboxUsed) zttest::sandboxServer().stop();
  }
};

[[maybe_unused]] const auto* const kShutdown =
    ::testing::AddGlobalTestEnvironment(new SandboxShutdown());

}  // namespace
