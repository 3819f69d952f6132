// The test area for the platform's URL session and the kit's network core.
#include "SandboxFixture.hpp"

#include <chrono>

namespace sbtest {
namespace {

using namespace std::chrono_literals;

class TestAreaTest : public SandboxTest {};

TEST_F(TestAreaTest, EchoReportsTheRequest) {
  t::Request r;
  r.method = "PUT";
  r.host = "api.dev.zentrel.com";
  r.target = "/test/echo/sub?a=1+2&b=%2B&c";
  r.headers = {{"X-One", "1"}, {"Content-Type", "text/plain"}};
  r.body = "hello";
  const auto res = t::send(sb(), r);
  ASSERT_EQ(res.status, 200);
  const auto j = res.json();
  EXPECT_EQ(j["method"], "PUT");
  EXPECT_EQ(j["host"], "api.dev.zentrel.com");
  EXPECT_EQ(j["target"], "/test/echo/sub?a=1+2&b=%2B&c");
  EXPECT_EQ(j["query"], "a=1+2&b=%2B&c");
  EXPECT_EQ(j["queryItems"], nlohmann::json::array({nlohmann::json::array({"a", "1+2"}),
                                                    nlohmann::json::array({"b", "+"}),
                                                    nlohmann::json::array({"c", ""})}));
  EXPECT_EQ(j["bodySize"], 5);
  EXPECT_EQ(j["bodySha256"], t::sha256Hex("hello"));
  EXPECT_EQ(j["body"], "hello");
  bool sawHeader = false;
  for (const auto& h : j["headers"]) sawHeader = sawHeader || (h[0] == "X-One" && h[1] == "1");
  EXPECT_TRUE(sawHeader);
}

TEST_F(TestAreaTest, StatusWithBodyAndHeaders) {
  const auto r =
      get("id.zentrel.com", "/test/status/409?body=conflict%21&type=text/plain&header=X-A:%20b");
  EXPECT_EQ(r.status, 409);
  EXPECT_EQ(r.body, "conflict!");
  EXPECT_EQ(r.header("X-A"), "b");
  EXPECT_EQ(get("id.zentrel.com", "/test/status/204").body, "");
}

TEST_F(TestAreaTest, RedirectChainsAcrossHosts) {
  auto r =
      get("id.zentrel.com", "/test/redirect/307?n=3&host=api.zentrel.com&to=/test/echo%3Fdone%3D1");
  int hops = 0;
  std::string host = "id.zentrel.com";
  while (r.status >= 300 && r.status < 400 && hops < 10) {
    EXPECT_EQ(r.status, 307);
    const auto url = t::splitUrl(*r.header("Location"));
    EXPECT_EQ(url.host, "api.zentrel.com");
    host = url.host;
    r = get(host, url.target);
    ++hops;
  }
  EXPECT_EQ(hops, 3);
  ASSERT_EQ(r.status, 200);
  EXPECT_EQ(r.json()["host"], "api.zentrel.com");
  EXPECT_EQ(r.json()["query"], "done=1");

  const auto relative = get("id.zentrel.com", "/test/redirect/302");
  EXPECT_EQ(relative.header("Location"), "/test/echo");
  const auto absolute = get("id.zentrel.com", "/test/redirect/301?abs=1&to=/x");
  EXPECT_EQ(absolute.status, 301);
  EXPECT_EQ(absolute.header("Location"), "https://id.zentrel.com/x");
}

TEST_F(TestAreaTest, CookiesAreSetAndReported) {
  const auto set = get("id.zentrel.com", "/test/cookies/set?a=1&b=two");
  EXPECT_EQ(set.status, 200);
  int cookies = 0;
  for (const auto& [k, v] : set.headers) cookies += k == "Set-Cookie" ? 1 : 0;
  EXPECT_EQ(cookies, 2);
  t::Request r;
  r.target = "/test/cookies";
  r.headers = {{"Cookie", "a=1; b=two"}};
  const auto got = t::send(sb(), r).json();
  EXPECT_EQ(got["cookie"], "a=1; b=two");
  EXPECT_EQ(got["cookies"], (nlohmann::json{{"a", "1"}, {"b", "two"}}));
}

TEST_F(TestAreaTest, UploadsAreHashedNotKept) {
  const std::string big(3u << 20, 'u');
  t::Request raw;
  raw.method = "POST";
  raw.target = "/test/upload";
  raw.headers = {{"Content-Type", "application/octet-stream"}};
  raw.body = big;
  auto r = t::send(sb(), raw);
  ASSERT_EQ(r.status, 200) << r.error;
  EXPECT_EQ(r.json()["size"], big.size());
  EXPECT_EQ(r.json()["sha256"], t::sha256Hex(big));
  const auto logged = sb().requests("test.upload").at(0);
  EXPECT_TRUE(logged.body.empty());
  EXPECT_EQ(logged.bodySize, big.size());
  EXPECT_EQ(logged.status, 200);

  r = t::postFile(sb(), "id.zentrel.com", "/test/upload", big);
  ASSERT_EQ(r.status, 200);
  const auto fields = r.json()["fields"];
  ASSERT_EQ(fields.size(), 1u);
  EXPECT_EQ(fields[0]["name"], "file");
  EXPECT_EQ(fields[0]["filename"], "file.jpg");
  EXPECT_EQ(fields[0]["size"], big.size());
  EXPECT_EQ(fields[0]["sha256"], t::sha256Hex(big));
  EXPECT_EQ(r.json()["contentLength"], big.size() + 178);
}

TEST_F(TestAreaTest, DownloadsWithLengthChunkedAndClose) {
  const std::size_t n = 100000;
  const std::string expected = sandbox::testPattern(0, n);
  EXPECT_EQ(expected.substr(251, 3), sandbox::testPattern(251, 3));

  auto r = get("id.zentrel.com", "/test/download/100000");
  ASSERT_EQ(r.status, 200);
  EXPECT_EQ(r.header("Content-Length"), "100000");
  EXPECT_EQ(r.body, expected);

  r = get("id.zentrel.com", "/test/download/100000?mode=chunked&chunk=1000");
  EXPECT_TRUE(r.chunked);
  EXPECT_FALSE(r.header("Content-Length").has_value());
  EXPECT_EQ(r.body, expected);

  r = get("id.zentrel.com", "/test/download/100000?mode=close");
  EXPECT_FALSE(r.chunked);
  EXPECT_FALSE(r.header("Content-Length").has_value());
  EXPECT_TRUE(r.complete);
  EXPECT_EQ(r.body, expected);

  EXPECT_EQ(get("id.zentrel.com", "/test/download/0").body, "");

  const auto start = std::chrono::steady_clock::now();
  r = get("id.zentrel.com", "/test/download/4000?chunk=1000&pause=50");
  EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);
  EXPECT_EQ(r.body, sandbox::testPattern(0, 4000));
}

TEST_F(TestAreaTest, DelayWaits) {
  const auto start = std::chrono::steady_clock::now();
  const auto r = get("id.zentrel.com", "/test/delay/200");
  EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.json()["endpoint"], "test.delay");

  t::Request slow;
  slow.target = "/test/echo?delay=2000";
  slow.timeout = 300ms;
  const auto timedOut = t::send(sb(), slow);
  EXPECT_FALSE(timedOut.error.empty());
}

}  // namespace
}  // namespace sbtest
