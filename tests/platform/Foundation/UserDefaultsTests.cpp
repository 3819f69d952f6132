#include <gtest/gtest.h>

#include <fstream>
#include <limits>

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
