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
  static t::Response post(const std::string& host, const std::string& target,
                          const std::string& body, const std::string& bearer = {}) {
    return t::postJson(*sb_, host, target, body, bearer);
  }
  static t::Response id(const std::string& target, const std::string& bearer = {}) {
    return get("id.zentrel.com", "/api/v1.1" + target, bearer);
  }
  static t::Response idPost(const std::string& target, const std::string& body,
                            const std::string& bearer = {}) {
    return post("id.zentrel.com", "/api/v1.1" + target, body, bearer);
  }
  static t::Response api(const std::string& target, const std::string& token) {
    return get("api.zentrel.com", "/v1" + target, token);
  }

  // The sign-in road: e-mail check, code, token. Returns Base64(csrf_token), the kit's session
  // token.
  static std::string signInByRoad(const std::string& email,
                                  const std::string& password = "password1") {
    EXPECT_EQ(idPost("/auth/code", R"({"email":")" + email + R"("})").status, 200);
    const auto code = sb_->lastCode(email);
    EXPECT_TRUE(code.has_value());
    const auto r = idPost("/auth/token", R"({"challengeType":"password","email":")" + email +
                                             R"(","password":")" + password + R"(","code":")" +
                                             code.value_or("") + R"("})");
    EXPECT_EQ(r.status, 200) << r.body;
    return t::base64(r.json().value("csrf_token", ""));
  }

 private:
  static inline std::unique_ptr<sandbox::Sandbox> sb_;
};

}  // namespace sbtest
