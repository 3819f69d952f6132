// Helpers shared by the networking tests: callback recorders and raw-wire access.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include <Foundation/Data.hpp>
#include <Foundation/NetworkEnvironment.hpp>
#include <Foundation/Result.hpp>
#include <Foundation/Thread.hpp>

#include "ZTNetworkCore/ZTNetworkErrors.hpp"
#include "ZTNetworkCore/ZTResponse.hpp"
#include "support/RunLoopSupport.hpp"
#include "support/SandboxFixture.hpp"

namespace nettest {

// What one callback received, and whether it ran on the main thread; kept as long as the
// callback lives, which may answer after the test returned.
template <class T>
struct Outcome {
  struct Heard {
    std::optional<Foundation::Result<T, ZentrelSDK::Error>> result;
    int calls = 0;
    bool onMain = true;
  };
  std::shared_ptr<Heard> heard = std::make_shared<Heard>();
  std::optional<Foundation::Result<T, ZentrelSDK::Error>>& result = heard->result;
  int& calls = heard->calls;
  bool& onMain = heard->onMain;

  auto callback() {
    return [heard = heard](Foundation::Result<T, ZentrelSDK::Error> r) {
      heard->result = std::move(r);
      ++heard->calls;
      heard->onMain = heard->onMain && Foundation::Thread::isMainThread();
    };
  }
  bool wait(double seconds = 15.0) {
    return zttest::runUntil([this] { return result.has_value(); }, seconds);
  }
  const T& value() const { return result->value(); }
  const ZentrelSDK::Error& error() const { return result->error(); }
  std::string errorText() const {
    return result && result->isFailure() ? result->error().localizedDescription() : "<success>";
  }
};

inline std::string idURL(std::string_view path) {
  return "https://id.zentrel.com" + std::string(path);
}

inline std::string text(const std::optional<Foundation::Data>& data) {
  return data ? Foundation::stringFromBytes(*data) : std::string("<none>");
}

// The test area's echo of a request.
inline nlohmann::json echoOf(const ZentrelSDK::ZTResponse& response) {
  return nlohmann::json::parse(text(response.data), nullptr, false);
}

inline std::optional<std::string> echoedHeader(const nlohmann::json& echo, std::string_view name) {
  for (const auto& pair : echo.at("headers")) {
    const auto key = pair.at(0).get<std::string>();
    if (key.size() == name.size() &&
        std::equal(key.begin(), key.end(), name.begin(),
                   [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
      return pair.at(1).get<std::string>();
  }
  return std::nullopt;
}

// One request as it crossed the wire: head lines and body.
struct WireRequest {
  std::string requestLine;
  std::vector<std::string> headerLines;
  std::string body;

  explicit WireRequest(const std::string& bytes) {
    const auto end = bytes.find("\r\n\r\n");
    const std::string head = bytes.substr(0, end);
    body = end == std::string::npos ? std::string() : bytes.substr(end + 4);
    std::size_t pos = 0;
    bool first = true;
    while (pos <= head.size()) {
      auto next = head.find("\r\n", pos);
      if (next == std::string::npos) next = head.size();
      const auto line = head.substr(pos, next - pos);
      if (first) {
        requestLine = line;
      } else {
        headerLines.push_back(line);
      }
      first = false;
      pos = next + 2;
    }
  }

  // Lines whose name matches, case-insensitively.
  std::vector<std::string> lines(std::string_view name) const {
    std::vector<std::string> out;
    for (const auto& line : headerLines) {
      const auto colon = line.find(':');
      const auto key = line.substr(0, colon);
      if (key.size() == name.size() &&
          std::equal(key.begin(), key.end(), name.begin(),
                     [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
        out.push_back(line);
    }
    return out;
  }
};

// While alive, the kit's host names lead to the sandbox's raw listener, which records the
// exact bytes of each request.
class RawWire {
 public:
  explicit RawWire(sandbox::Sandbox& sb) : sb_(sb) {
    sb_.clearRawRequests();
    for (const auto& route : sb_.rawRoutes()) {
      EXPECT_TRUE(Foundation::NetworkEnvironment::addRoute(route));
    }
  }
  ~RawWire() { zttest::useSandbox(); }
  RawWire(const RawWire&) = delete;
  RawWire& operator=(const RawWire&) = delete;

  WireRequest only() const {
    EXPECT_TRUE(sb_.waitForRaw(1, std::chrono::seconds(10)));
    const auto records = sb_.rawRequests();
    EXPECT_EQ(records.size(), 1u);
    return WireRequest(records.empty() ? std::string() : records.front().bytes);
  }
  std::vector<std::string> all(std::size_t n) const {
    EXPECT_TRUE(sb_.waitForRaw(n, std::chrono::seconds(10)));
    std::vector<std::string> out;
    for (const auto& r : sb_.rawRequests()) out.push_back(r.bytes);
    return out;
  }

 private:
  sandbox::Sandbox& sb_;
};

}  // namespace nettest
