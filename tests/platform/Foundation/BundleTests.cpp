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

TEST(Bundle, MainBundleHasTheHostsIdentifier) {
  const auto& main = Bundle::main();
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(main->bundleIdentifier().has_value());
  EXPECT_EQ(std::filesystem::path(main->bundlePath()),
            std::filesystem::read_symlink("/proc/self/exe").parent_path());

  Bundle::setMainBundleIdentifier("com.example.host");
  EXPECT_EQ(main->bundleIdentifier(), "com.example.host");
  EXPECT_EQ(Bundle::forIdentifier("com.example.host"), main);
  Bundle::setMainBundleIdentifier(std::nullopt);
  EXPECT_FALSE(main->bundleIdentifier().has_value());
}

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

TEST(Bundle, LooksUpResourcesInsideTheBundleOnly) {
  TemporaryFolder folder;
  writeFile(folder / "Other.bundle/Info.json",
            R"({"CFBundleIdentifier": "com.test.other", "x": 1})");
  writeFile(folder / "Other.bundle/greeting.txt", "hello");
  writeFile(folder / "Other.bundle/images/logo.png", "png");
  writeFile(folder / "secret.txt", "outside");
  writeFile(folder / "Broken.bundle/Info.json", "{not json");
  writeFile(folder / "Wrong.bundle/Info.json", R"({"CFBundleIdentifier": 7})");
  Bundle::addSearchPath(folder.path());

  EXPECT_EQ(Bundle::forIdentifier("com.test.missing"), nullptr);
  const auto bundle = Bundle::forIdentifier("com.test.other");
  ASSERT_NE(bundle, nullptr);
  const auto greeting = bundle->pathForResource("greeting", "txt");
  ASSERT_TRUE(greeting.has_value());
  EXPECT_EQ(std::filesystem::path(*greeting).filename(), "greeting.txt");
  EXPECT_EQ(bundle->pathForResource("greeting.txt", ""), greeting);
  EXPECT_EQ(bundle->pathForResource("greeting", ".txt"), greeting);
  EXPECT_FALSE(bundle->pathForResource("greeting", "json").has_value());
  EXPECT_FALSE(bundle->pathForResource("images", "").has_value());  // a folder is no resource
  EXPECT_TRUE(bundle->pathForResource("logo", "png", "images").has_value());
  EXPECT_FALSE(bundle->pathForResource("secret", "txt", "..").has_value());
  EXPECT_FALSE(bundle->pathForResource("../secret", "txt").has_value());

  const auto url = bundle->urlForResource("greeting", "txt");
  ASSERT_TRUE(url.has_value());
  EXPECT_TRUE(url->isFileURL());
  EXPECT_EQ(url->path(), *greeting);
  EXPECT_FALSE(bundle->urlForResource("nothing", "txt").has_value());

  // A search path may itself be the bundle.
  TemporaryFolder direct;
  writeFile(direct / "Info.json", R"({"CFBundleIdentifier": "com.test.direct"})");
  Bundle::addSearchPath(direct.path());
  const auto self = Bundle::forIdentifier("com.test.direct");
  ASSERT_NE(self, nullptr);
  EXPECT_EQ(std::filesystem::path(self->bundlePath()),
            std::filesystem::weakly_canonical(direct.path()));
}
