#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "Foundation/Bundle.hpp"
#include "Foundation/NSLocalizedString.hpp"
#include "support/TemporaryFolder.hpp"

namespace {

struct Row {
  const char* key;
  const char* value;
  std::string expected;
};

class LocalizedString : public ::testing::TestWithParam<Row> {};

TEST_P(LocalizedString, TheTableThenTheValueThenTheKey) {
  static zttest::TemporaryFolder folder;
  static const auto bundle = [] {
    std::ofstream(folder / "Info.json") << R"({"CFBundleIdentifier": "com.zentrel.tests.strings"})";
    std::ofstream(folder / "Localizable.strings.json") << R"({"Camera error": "Kamerafehler"})";
    Foundation::Bundle::addSearchPath(folder.path());
    return Foundation::Bundle::forIdentifier("com.zentrel.tests.strings");
  }();
  ASSERT_NE(bundle, nullptr);
  const auto& row = GetParam();
  EXPECT_EQ(Foundation::NSLocalizedString(row.key, std::nullopt, bundle, row.value, ""),
            row.expected);
}

INSTANTIATE_TEST_SUITE_P(Foundation, LocalizedString,
                         ::testing::Values(Row{"Camera error", "", "Kamerafehler"},
                                           Row{"Preset not supported", "", "Preset not supported"},
                                           Row{"Error", "Fehler", "Fehler"}));

TEST(LocalizedStringMain, WithoutATranslationTheKeyComesBack) {
  EXPECT_EQ(Foundation::NSLocalizedString("I can't take any picture", ""),
            "I can't take any picture");
}

}  // namespace
