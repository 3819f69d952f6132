// The sandbox shared by the networking tests of one program.
#pragma once

#include <gtest/gtest.h>

#include <sandbox/Sandbox.hpp>

namespace zttest {

// Started on first use and kept until the program ends. The kit's four host names are routed
// to it and its CA is the only trust anchor, so the kit's shipped URLs reach it with TLS
// verification on.
sandbox::Sandbox& sandboxServer();

// Routes the host names and trusts the CA again (another test may have changed the network
// environment).
void useSandbox();

// Resets the sandbox to its seed and routes the kit to it before each test.
class SandboxTest : public ::testing::Test {
 protected:
  void SetUp() override;
  static sandbox::Sandbox& sb() { return sandboxServer(); }
};

}  // namespace zttest
