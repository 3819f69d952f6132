#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

#include <Foundation/Bundle.hpp>

#include "NetworkingSupport.hpp"
#include "ZTLogger.hpp"
#include "ZTNetworkCore/ZTNetworkCore.hpp"

namespace {

using ZentrelSDK::EmptyBody;
using ZentrelSDK::ZTHTTPMethod;
using ZentrelSDK::ZTLogger;
using ZentrelSDK::ZTNetworkCore;
using ZentrelSDK::ZTResponse;

// The answer trace is written on the session's queue after the answer is handed on, so each
// case ends with one more request: the session's queue is serial, and once that answer is
// here, every line of the earlier ones has been written.
class AnswerTrace : public zttest::SandboxTest {
 protected:
  void SetUp() override {
    zttest::SandboxTest::SetUp();
    saved_ = Foundation::Bundle::main()->bundleIdentifier();
    ZTLogger::setOutputStream(&out_);
  }
  void TearDown() override {
    ZTLogger::setOutputStream(nullptr);
    runInsideHost(saved_);
  }
  static void runInsideHost(std::optional<std::string> identifier) {
    Foundation::Bundle::setMainBundleIdentifier(std::move(identifier));
    ZTLogger::resetApplicationCheck();
  }
  static void request(const std::string& path) {
    nettest::Outcome<ZTResponse> answer;
    ZTNetworkCore::requestRequiredStatusCodeAnswer(nettest::idURL(path), ZTHTTPMethod::get, {},
                                                   EmptyBody(), answer.callback());
    ASSERT_TRUE(answer.wait());
  }
  std::string logged() {
    request("/test/echo");  // a JSON answer: its trace stays silent at the default level
    return out_.str();
  }

  std::ostringstream out_;
  std::optional<std::string> saved_;
};

TEST_F(AnswerTrace, AnAnswerThatIsNotJSONIsReportedInsideTheKitsOwnApps) {
  runInsideHost("com.zentrel.ZentrelSDK.Example");
  request("/test/status/200");  // empty body
  const std::string text = logged();
  EXPECT_NE(text.find("):\n cannot serializate data\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("cannot serializate data"), text.rfind("cannot serializate data"));
}

TEST_F(AnswerTrace, OtherAppsSeeNothing) {
  runInsideHost("com.example.host");
  request("/test/status/200");
  EXPECT_EQ(logged(), "");
}

}  // namespace
