// One sandbox per test suite, reset to its seed before each test.
#pragma once

#include <sandbox/Sandbox.hpp>
#include <sandbox/TestClient.hpp>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace sbtest {

namespace t = sandbox::testing;

class SandboxTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { sb_ = std::make_unique<sandbox::Sandbox>(); }
  static void TearDownTestSuite() { sb_.reset(); }
  void SetUp() override { sb_->reset(); }
  void TearDown() override { sb_->setClock(nullptr); }

  static sandbox::Sandbox& sb() { return *sb_; }

  static t::Response get(const std::string& host, const std::string& target,
                         const std::string& bearer = {}) {
    return t::get(*sb_, host, target, bearer);
  }
  static t::Response idPost(const std::string& target, const std::string& body,
                            const std::string& bearer = {}) {
    return t::postJson(*sb_, "id.zentrel.com", "/api/v1.1" + target, body, bearer);
  }

 private:
  static inline std::unique_ptr<sandbox::Sandbox> sb_;
};

}  // namespace sbtest
