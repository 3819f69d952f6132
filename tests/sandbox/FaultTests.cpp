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

TEST_F(FaultTest, RunHandlerChangesStateButNotTheAnswer) {
  const std::string bearer = sb().signIn("user1@example.com");
  sb().inject("documents.create", Fault::answer(500, "lost").withHandler());
  const auto r =
      idPost("/documents", R"({"type":"Passport","areaType":"Internal","description":""})", bearer);
  EXPECT_EQ(r.status, 500);
  EXPECT_EQ(r.body, "lost");
  EXPECT_EQ(sb().documents("user1@example.com").size(), 1u);  // created, answer lost
}

TEST_F(FaultTest, SkipTimesAndEveryRequest) {
  sb().inject("test.echo", Fault::answer(503, "busy").skipping(1).repeat(2));
  EXPECT_EQ(get("id.zentrel.com", "/test/echo").status, 200);
  EXPECT_EQ(get("id.zentrel.com", "/test/echo").status, 503);
  EXPECT_EQ(get("id.zentrel.com", "/test/echo").status, 503);
  EXPECT_EQ(get("id.zentrel.com", "/test/echo").status, 200);

  sb().inject("*", Fault::answer(418, "teapot").repeat(0));
  EXPECT_EQ(get("id.zentrel.com", "/test/echo").status, 418);
  EXPECT_EQ(id("/auth/check").status, 418);
  EXPECT_EQ(get("id.zentrel.com", "/nowhere").status, 418);
  sb().clearFaults();
  EXPECT_EQ(id("/auth/check").status, 401);
}

TEST_F(FaultTest, BodiesTheKitMustReject) {
  sb().inject("auth.email", Fault::malformedJson());
  auto r = idPost("/auth", R"({"email":"user1@example.com"})");
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, R"({"success":)");
  EXPECT_EQ(r.header("Content-Type"), "application/json");

  sb().inject("auth.email", Fault::notJson());
  EXPECT_EQ(idPost("/auth", "{}").body, "<html>not json</html>");
  sb().inject("auth.email", Fault::emptyBody());
  r = idPost("/auth", "{}");
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, "");
  EXPECT_EQ(r.header("Content-Length"), "0");
  sb().inject("auth.email", Fault::notUtf8());
  EXPECT_EQ(idPost("/auth", "{}").body.substr(0, 2), "\xFF\xFE");
  sb().inject("oauth.auth", Fault::redirect(302, "https://id.zentrel.com/elsewhere?x=1"));
  r = id("/oauth/auth?client_id=nope");
  EXPECT_EQ(r.status, 302);
  EXPECT_EQ(r.header("Location"), "https://id.zentrel.com/elsewhere?x=1");
}

TEST_F(FaultTest, DropDelayTruncateChunked) {
  sb().inject("auth.check", Fault::drop());
  auto r = id("/auth/check");
  EXPECT_EQ(r.error, "empty reply from server");
  EXPECT_EQ(r.status, 0);
  ASSERT_TRUE(sb().waitFor("auth.check", 1, 2s));
  EXPECT_EQ(sb().requests("auth.check").at(0).fault, "drop");

  sb().inject("auth.check", Fault::after(300ms));
  const auto start = std::chrono::steady_clock::now();
  r = id("/auth/check");
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
  EXPECT_EQ(r.status, 401);  // a delay alone runs the endpoint

  const std::string bearer = sb().signIn("user1@example.com");
  sb().inject("settings", Fault::truncate());
  r = id("/settings", bearer);
  EXPECT_EQ(r.status, 200);
  EXPECT_FALSE(r.complete);
  EXPECT_FALSE(r.error.empty());
  ASSERT_TRUE(r.header("Content-Length").has_value());
  EXPECT_LT(r.body.size(), std::stoul(*r.header("Content-Length")));

  sb().inject("settings", Fault::chunked());
  r = id("/settings", bearer);
  EXPECT_EQ(r.status, 200);
  EXPECT_TRUE(r.complete);
  EXPECT_TRUE(r.chunked);
  EXPECT_FALSE(r.header("Content-Length").has_value());
  EXPECT_EQ(r.json()["email"], "user1@example.com");
}

}  // namespace
}  // namespace sbtest
