#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>

#include "Foundation/Bundle.hpp"
#include "Testing/ManualClock.hpp"
#include "Testing/UI.hpp"
#include "UIKit/UIView.hpp"

namespace uikittest {

// A bundle of its own for one test, in a fresh folder removed afterwards.
class TestBundle {
 public:
  TestBundle() {
    static std::atomic<int> counter{0};
    std::string tmpl = (std::filesystem::temp_directory_path() / "zt-uikit-XXXXXX").string();
    root_ = ::mkdtemp(tmpl.data()) ? tmpl : std::string();
    identifier_ = "com.zentrel.tests.uikit" + std::to_string(counter++);
    path_ = root_ + "/Test.bundle";
    std::filesystem::create_directories(path_);
    write("Info.json", R"({"CFBundleIdentifier": ")" + identifier_ + R"("})");
    Foundation::Bundle::addSearchPath(root_);
  }
  ~TestBundle() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  TestBundle(const TestBundle&) = delete;
  TestBundle& operator=(const TestBundle&) = delete;

  void write(const std::string& file, const std::string& content) const {
    std::ofstream(path_ + "/" + file, std::ios::binary) << content;
  }
  std::shared_ptr<Foundation::Bundle> bundle() const {
    return Foundation::Bundle::forIdentifier(identifier_);
  }
  const std::string& path() const { return path_; }

 private:
  std::string root_;
  std::string path_;
  std::string identifier_;
};

// A PNG file's first bytes: signature and header chunk (enough for its size).
inline std::string pngHeader(std::uint32_t width, std::uint32_t height) {
  std::string bytes("\x89PNG\r\n\x1a\n", 8);
  auto be32 = [&](std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>((v >> shift) & 0xFF);
  };
  be32(13);
  bytes += "IHDR";
  be32(width);
  be32(height);
  bytes += std::string("\x08\x06\x00\x00\x00", 5);
  be32(0);  // the checksum is not read
  return bytes;
}

// On the manual clock; whatever a test leaves pending (completions, timers) runs before the
// next one starts.
class ClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_ = &PlatformTesting::ManualClock::install();
    UIKit::UIView::setAnimationsEnabled(true);
  }
  void TearDown() override {
    UIKit::UIView::setAnimationsEnabled(true);
    clock_->advance(60);
  }
  void advance(double seconds) { clock_->advance(seconds); }
  double now() const { return clock_->now(); }

  PlatformTesting::ManualClock* clock_ = nullptr;
};

// With the UI driver's key window, gone before the clock runs out the test's leftovers.
class WindowTest : public ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    ui = std::make_unique<PlatformTesting::UI>();
  }
  void TearDown() override {
    ui.reset();
    ClockTest::TearDown();
  }

  std::unique_ptr<PlatformTesting::UI> ui;
};

// Counts calls; a target for target-action and gesture recognizers.
struct Counter {
  int count = 0;
  void hit() { ++count; }
};

}  // namespace uikittest
