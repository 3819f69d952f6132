#pragma once

#include <ZTLogger.hpp>

#include <optional>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <Foundation/Bundle.hpp>

// Captures the logger's output and lets a test choose the host app; restores both after.
class LoggerCapture : public ::testing::Test {
 protected:
  static constexpr const char* kExampleHost = "com.zentrel.ZentrelSDK.Example";
  static constexpr const char* kCompanionHost = "com.zentrel.Companion";

  void SetUp() override {
    savedIdentifier_ = Foundation::Bundle::main()->bundleIdentifier();
    ZentrelSDK::ZTLogger::setOutputStream(&out_);
  }
  void TearDown() override {
    ZentrelSDK::ZTLogger::setOutputStream(nullptr);
    Foundation::Bundle::setMainBundleIdentifier(savedIdentifier_);
    ZentrelSDK::ZTLogger::resetApplicationCheck();
  }
  void runInsideHost(std::optional<std::string> identifier) {
    Foundation::Bundle::setMainBundleIdentifier(std::move(identifier));
    ZentrelSDK::ZTLogger::resetApplicationCheck();
  }
  // What was written since the last call.
  std::string taken() {
    std::string text = out_.str();
    out_.str("");
    return text;
  }

 private:
  std::ostringstream out_;
  std::optional<std::string> savedIdentifier_;
};
