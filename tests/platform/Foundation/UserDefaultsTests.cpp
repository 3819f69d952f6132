#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <thread>

#include "Foundation/FileManager.hpp"
#include "Foundation/UserDefaults.hpp"
#include "support/TemporaryFolder.hpp"

using zttest::TemporaryFolder;

using namespace Foundation;

TEST(UserDefaults, PersistsEveryKindOfValueForTheNextInstance) {
  TemporaryFolder folder;
  const auto file = folder / "prefs/defaults.json";  // its folder is made on first write
  const Data blob{0x00, 0xFF, 0x10, '"', '{'};
  {
    UserDefaults defaults(file);
    defaults.set("token-\xC3\xA9", "text");
    defaults.set(std::string("owned"), "owned");
    defaults.set(true, "flag");
    defaults.set(42, "small");
    defaults.set(std::numeric_limits<std::int64_t>::max(), "large");
    defaults.set(2.5, "ratio");
    defaults.set(blob, "blob");
    defaults.set("gone soon", "temp");
    defaults.removeObject("temp");
  }
  UserDefaults reread(file);
  EXPECT_EQ(reread.string("text"), "token-\xC3\xA9");
  EXPECT_EQ(reread.string("owned"), "owned");
  EXPECT_TRUE(reread.boolValue("flag"));
  EXPECT_EQ(reread.integer("small"), 42);
  EXPECT_EQ(reread.integer("large"), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(reread.doubleValue("ratio"), 2.5);
  EXPECT_EQ(reread.data("blob"), blob);
  EXPECT_FALSE(reread.contains("temp"));
  EXPECT_FALSE(reread.string("temp").has_value());
}

TEST(UserDefaults, ConvertsBetweenKindsAsFoundationDoes) {
  TemporaryFolder folder;
  UserDefaults d(folder / "d.json");
  d.set("12", "numericText");
  d.set("YES", "yesText");
  d.set("nope", "word");
  d.set(7, "seven");
  d.set(2.75, "decimal");
  d.set(false, "off");

  EXPECT_EQ(d.integer("numericText"), 12);
  EXPECT_EQ(d.doubleValue("numericText"), 12.0);
  EXPECT_TRUE(d.boolValue("yesText"));
  EXPECT_FALSE(d.boolValue("word"));
  EXPECT_EQ(d.integer("word"), 0);
  EXPECT_EQ(d.string("seven"), "7");
  EXPECT_TRUE(d.boolValue("seven"));
  EXPECT_EQ(d.integer("decimal"), 2);
  EXPECT_EQ(d.string("decimal"), "2.75");
  EXPECT_FALSE(d.string("off").has_value());
  EXPECT_EQ(d.integer("off"), 0);
  EXPECT_FALSE(d.data("numericText").has_value());

  EXPECT_FALSE(d.string("absent").has_value());
  EXPECT_FALSE(d.boolValue("absent"));
  EXPECT_EQ(d.integer("absent"), 0);
  EXPECT_EQ(d.doubleValue("absent"), 0);
  EXPECT_FALSE(d.contains("absent"));

  d.set(std::nan(""), "notANumber");  // JSON cannot hold it: the key stays absent
  EXPECT_FALSE(d.contains("notANumber"));
  EXPECT_TRUE(UserDefaults(folder / "d.json").contains("decimal"));
}

TEST(UserDefaults, StartsEmptyFromACorruptFileAndRewritesIt) {
  TemporaryFolder folder;
  const auto file = folder / "d.json";
  std::ofstream(file) << "{\"half\": ";
  UserDefaults d(file);
  EXPECT_FALSE(d.contains("half"));
  d.set("v", "k");
  EXPECT_EQ(UserDefaults(file).string("k"), "v");
  std::ifstream in(file);
  EXPECT_TRUE(nlohmann::json::accept(in));
}

TEST(UserDefaults, KeepsValuesInMemoryWhenTheFileCannotBeWritten) {
  TemporaryFolder folder;
  std::ofstream(folder / "blocker") << "a file where a folder should be";
  UserDefaults d(folder / "blocker/d.json");
  d.set("still here", "k");
  EXPECT_EQ(d.string("k"), "still here");
  EXPECT_FALSE(d.synchronize());
}

TEST(UserDefaults, TakesWritesFromManyThreads) {
  TemporaryFolder folder;
  const auto file = folder / "d.json";
  {
    UserDefaults d(file);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
      threads.emplace_back([&d, t] {
        for (int i = 0; i < 40; ++i) {
          d.set(t * 1000 + i, "key" + std::to_string(t) + "-" + std::to_string(i));
          (void)d.integer("key0-0");
        }
      });
    }
    for (auto& th : threads) th.join();
    EXPECT_TRUE(d.synchronize());
  }
  UserDefaults reread(file);
  for (int t = 0; t < 4; ++t) {
    for (int i = 0; i < 40; ++i) {
      EXPECT_EQ(reread.integer("key" + std::to_string(t) + "-" + std::to_string(i)), t * 1000 + i);
    }
  }
}

TEST(UserDefaults, StandardLivesInTheAppDataFolder) {
  TemporaryFolder folder;
  FileManager::setApplicationDataDirectory(folder / "app");
  UserDefaults::resetStandardUserDefaults();
  auto& standard = UserDefaults::standard();
  EXPECT_EQ(std::filesystem::path(standard.filePath()).parent_path(),
            std::filesystem::path(folder / "app"));
  standard.set("abc", "sessionToken");
  EXPECT_EQ(UserDefaults(standard.filePath()).string("sessionToken"), "abc");

  // Reset rereads the file from where the app data folder now is.
  TemporaryFolder other;
  FileManager::setApplicationDataDirectory(other.path());
  UserDefaults::resetStandardUserDefaults();
  EXPECT_FALSE(UserDefaults::standard().contains("sessionToken"));
  FileManager::setApplicationDataDirectory(folder / "app");
  UserDefaults::resetStandardUserDefaults();
  EXPECT_EQ(UserDefaults::standard().string("sessionToken"), "abc");
  FileManager::setApplicationDataDirectory(std::nullopt);
}
