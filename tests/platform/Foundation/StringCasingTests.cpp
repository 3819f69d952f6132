// Lower and upper casing of UTF-8 texts as en-US has it.

#include <gtest/gtest.h>

#include <string>

#include <Foundation/StringCasing.hpp>

namespace {

struct CasingRow {
  std::string text, lower, upper;
};

class Casing : public ::testing::TestWithParam<CasingRow> {};

TEST_P(Casing, MapsEachCharacter) {
  EXPECT_EQ(Foundation::lowercased(GetParam().text), GetParam().lower);
  EXPECT_EQ(Foundation::uppercased(GetParam().text), GetParam().upper);
}

INSTANTIATE_TEST_SUITE_P(
    Foundation, Casing,
    ::testing::Values(CasingRow{"File Too Large", "file too large", "FILE TOO LARGE"},
                      CasingRow{"Größe Ünd Éclair", "größe ünd éclair", "GRÖßE ÜND ÉCLAIR"},
                      CasingRow{"Ivan İstanbul", "ivan istanbul", "IVAN İSTANBUL"},
                      CasingRow{"Couldn’t “open”", "couldn’t “open”", "COULDN’T “OPEN”"},
                      CasingRow{"bad \xFF byte", "bad \xFF byte", "BAD \xFF BYTE"},
                      CasingRow{"", "", ""}));

}  // namespace
