#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Foundation/Bundle.hpp"
#include "support/TemporaryFolder.hpp"

using zttest::TemporaryFolder;

using Foundation::Bundle;

namespace {
void writeFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path) << text;
}
}  // namespace

TEST(Bundle, FindsTheKitBundleAndThenARegisteredFolderFirst) {
  const auto kit = Bundle::forIdentifier("com.zentrel.ZentrelSDK");
  ASSERT_NE(kit, nullptr);
  EXPECT_EQ(kit->bundleIdentifier(), "com.zentrel.ZentrelSDK");
  EXPECT_EQ(std::filesystem::path(kit->bundlePath()).filename(), "ZentrelSDK.bundle");
  EXPECT_TRUE(kit->pathForResource("Info", "json").has_value());
  EXPECT_EQ(Bundle::forIdentifier("com.zentrel.ZentrelSDK"), kit);  // one object per bundle

  // A folder registered at run time is searched before the build tree.
  TemporaryFolder folder;
  writeFile(folder / "Override.bundle/Info.json",
            R"({"CFBundleIdentifier": "com.zentrel.ZentrelSDK"})");
  Bundle::addSearchPath(folder.path());
  const auto overridden = Bundle::forIdentifier("com.zentrel.ZentrelSDK");
  ASSERT_NE(overridden, nullptr);
  EXPECT_EQ(std::filesystem::path(overridden->bundlePath()).filename(), "Override.bundle");
}
