// Recorders for the identity clients' callbacks, and the sandbox fixture they run against.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
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
// thread. S is the success argument (void for none), E the error argument.
template <class S, class E>
class Reply {
 public:
  using SuccessValue = std::conditional_t<std::is_void_v<S>, bool, S>;

  auto success() {
    if constexpr (std::is_void_v<S>) {
      return std::function<void()>([this] { record(successes_, true); });
    } else {
      return std::function<void(S)>([this](S value) { record(successes_, std::move(value)); });
    }
  }
  std::function<void(E)> error() {
    return [this](E value) { record(errors_, std::move(value)); };
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
  template <class Container, class T>
  void record(Container& into, T&& value) {
    into.push_back(std::forward<T>(value));
    onMain_ = onMain_ && Foundation::Thread::isMainThread();
  }

  std::deque<SuccessValue> successes_;  // not vector: value() hands out references
  std::vector<E> errors_;
  bool onMain_ = true;
};

// One callback taking a success-or-error value.
template <class T>
class ResultReply {
 public:
  std::function<void(Foundation::Result<T, ZentrelSDK::Error>)> callback() {
    return [this](Foundation::Result<T, ZentrelSDK::Error> result) {
      results_.push_back(std::move(result));
      onMain_ = onMain_ && Foundation::Thread::isMainThread();
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
  std::vector<Foundation::Result<T, ZentrelSDK::Error>> results_;
  bool onMain_ = true;
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
