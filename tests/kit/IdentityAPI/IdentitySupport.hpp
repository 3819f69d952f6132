// Recorders for the identity clients' callbacks, and the sandbox fixture they run against.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include <Foundation/HTTPCookieStorage.hpp>
#include <Foundation/Result.hpp>
#include <Foundation/Thread.hpp>

#include "ZTNetworkCore/ZTNetworkErrors.hpp"
#include "ZTTokenUtilites.hpp"
#include "support/RunLoopSupport.hpp"
#include "support/SandboxFixture.hpp"

namespace idtest {

// A pair of success and error callbacks: records every call and whether it came on the main
// thread. S is the success argument (void for none), E the error argument. The calls are kept
// as long as the callbacks live, which may answer after the test returned.
template <class S, class E>
class Reply {
 public:
  using SuccessValue = std::conditional_t<std::is_void_v<S>, bool, S>;

  auto success() {
    if constexpr (std::is_void_v<S>) {
      return std::function<void()>([s = s_] { record(*s, s->successes, true); });
    } else {
      return std::function<void(S)>(
          [s = s_](S value) { record(*s, s->successes, std::move(value)); });
    }
  }
  std::function<void(E)> error() {
    return [s = s_](E value) { record(*s, s->errors, std::move(value)); };
  }

  bool wait(double seconds = 15.0) {
    return zttest::runUntil([this] { return !successes_.empty() || !errors_.empty(); }, seconds);
  }
  // Exactly one callback, once, on the main thread.
  bool answeredOnce() const { return successes_.size() + errors_.size() == 1 && onMain_; }

  // Waits for the one answer on the main thread: the error text, or "<success>".
  std::string outcome() requires std::is_same_v<E, std::string> {
    EXPECT_TRUE(wait());
    EXPECT_TRUE(answeredOnce());
    return failed() ? failure() : std::string("<success>");
  }

  bool succeeded() const { return !successes_.empty(); }
  const SuccessValue& value() const { return successes_.front(); }
  bool failed() const { return !errors_.empty(); }
  const E& failure() const { return errors_.front(); }

 private:
  struct State {
    std::deque<SuccessValue> successes;  // not vector: value() hands out references
    std::vector<E> errors;
    bool onMain = true;
  };
  template <class Container, class T>
  static void record(State& s, Container& into, T&& value) {
    into.push_back(std::forward<T>(value));
    s.onMain = s.onMain && Foundation::Thread::isMainThread();
  }

  std::shared_ptr<State> s_ = std::make_shared<State>();
  std::deque<SuccessValue>& successes_ = s_->successes;
  std::vector<E>& errors_ = s_->errors;
  bool& onMain_ = s_->onMain;
};

// One callback taking a success-or-error value.
template <class T>
class ResultReply {
 public:
  std::function<void(Foundation::Result<T, ZentrelSDK::Error>)> callback() {
    return [s = s_](Foundation::Result<T, ZentrelSDK::Error> result) {
      s->results.push_back(std::move(result));
      s->onMain = s->onMain && Foundation::Thread::isMainThread();
    };
  }
  bool wait(double seconds = 15.0) {
    return zttest::runUntil([this] { return !results_.empty(); }, seconds);
  }
  bool answeredOnce() const { return results_.size() == 1 && onMain_; }

  // Waits for the one answer on the main thread: the error text, or "<success>".
  std::string outcome() {
    EXPECT_TRUE(wait());
    EXPECT_TRUE(answeredOnce());
    return errorText();
  }

  bool succeeded() const { return !results_.empty() && results_.front().isSuccess(); }
  const T& value() const { return results_.front().value(); }
  const ZentrelSDK::Error& error() const { return results_.front().error(); }
  std::string errorText() const {
    return succeeded() ? std::string("<success>") : error().localizedDescription();
  }

 private:
  // Kept as long as the callback lives.
  struct State {
    std::vector<Foundation::Result<T, ZentrelSDK::Error>> results;
    bool onMain = true;
  };
  std::shared_ptr<State> s_ = std::make_shared<State>();
  std::vector<Foundation::Result<T, ZentrelSDK::Error>>& results_ = s_->results;
  bool& onMain_ = s_->onMain;
};

// Each test starts from the sandbox's seed with no token held and no cookie stored.
class IdentitySandboxTest : public zttest::SandboxTest {
 protected:
  void SetUp() override {
    zttest::SandboxTest::SetUp();
    ZentrelSDK::ZTTokenUtilites::shared()->clearTokens();
  }
  void TearDown() override { ZentrelSDK::ZTTokenUtilites::shared()->clearTokens(); }

  static std::size_t storedCookies() {
    return Foundation::HTTPCookieStorage::shared()->cookies().size();
  }
  // The Authorization header of the last request to an endpoint, as the server parsed it.
  static std::optional<std::string> lastAuthorization(std::string_view endpoint) {
    const auto log = sb().requests(endpoint);
    if (log.empty()) return std::nullopt;
    return log.back().header("Authorization");
  }
  static nlohmann::json lastBody(std::string_view endpoint) {
    const auto log = sb().requests(endpoint);
    if (log.empty()) return nullptr;
    return nlohmann::json::parse(log.back().body, nullptr, false);
  }
};

// Foundation's texts for an answer that does not decode.
inline constexpr const char* kMissingText = "The data couldn\u2019t be read because it is missing.";
inline constexpr const char* kFormatText =
    "The data couldn\u2019t be read because it isn\u2019t in the correct format.";
inline constexpr const char* kGenericText = "Something went wrong, please, try later";

}  // namespace idtest
