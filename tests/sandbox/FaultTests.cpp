// Per-endpoint faults.
#include "SandboxFixture.hpp"

#include <chrono>

namespace sbtest {
namespace {

using namespace std::chrono_literals;
using sandbox::Fault;

class FaultTest : public SandboxTest {};

TEST_F(FaultTest, StatusFaultReplacesTheEndpointOnce) {
  sb().inject("auth.code", Fault::answer(429, "too many"));
  auto r = idPost("/auth/code", R"({"email":"user1@example.com"})");
  EXPECT_EQ(r.status, 429);
  EXPECT_EQ(r.body, "too many");
  EXPECT_EQ(r.header("Content-Type"), "text/plain; charset=utf-8");
  EXPECT_TRUE(sb().outbox().empty());  // the endpoint did not run
  EXPECT_EQ(sb().requests("auth.code").at(0).fault, "answer 429");
  EXPECT_EQ(sb().requests("auth.code").at(0).status, 429);
  r = idPost("/auth/code", R"({"email":"user1@example.com"})");
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(sb().outbox().size(), 1u);
}

TEST_F(FaultTest, NoContentAnswersNeverCarryBytes) {
  // A body after 204 or 304 would be read as the start of the next answer on the connection.
  for (int status : {204, 304}) {
    sb().inject("test.echo", Fault::answer(status, "some body"));
    const auto r = get("id.zentrel.com", "/test/echo");
    EXPECT_EQ(r.status, status);
    EXPECT_EQ(r.body, "");
    EXPECT_EQ(r.raw.find("some body"), std::string::npos) << r.raw;
  }
}

}  // namespace
}  // namespace sbtest
