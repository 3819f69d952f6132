// Characters as a reader sees them, and the decimal digits of every script.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Foundation/CharacterSet.hpp"
#include "Foundation/Characters.hpp"

using Foundation::CharacterSet;

namespace {

struct Split {
  const char* name;
  std::string text;
  std::vector<std::string> characters;
};

class CharactersOf : public ::testing::TestWithParam<Split> {};

TEST_P(CharactersOf, AreItsGraphemeClusters) {
  const auto& row = GetParam();
  EXPECT_EQ(Foundation::characters(row.text), row.characters);
  EXPECT_EQ(Foundation::characterCount(row.text), row.characters.size());
  const auto shorter = row.characters.empty()
                           ? std::string()
                           : row.text.substr(0, row.text.size() - row.characters.back().size());
  EXPECT_EQ(Foundation::droppingLastCharacter(row.text), shorter);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CharactersOf,
    ::testing::Values(Split{"empty", "", {}}, Split{"ascii", "123", {"1", "2", "3"}},
                      Split{"combiningMark", "e\u0301x", {"e\u0301", "x"}},
                      Split{"flag", "\U0001F1E9\U0001F1EA1", {"\U0001F1E9\U0001F1EA", "1"}},
                      Split{"keycap", "1\uFE0F\u20E32", {"1\uFE0F\u20E3", "2"}},
                      Split{"familyEmoji",
                            "\U0001F468\u200D\U0001F469\u200D\U0001F467",
                            {"\U0001F468\u200D\U0001F469\u200D\U0001F467"}},
                      Split{"crlf", "\r\n\n", {"\r\n", "\n"}},
                      Split{"badUtf8",
                            std::string("a\xFF"
                                        "b"),
                            {"a", "\xFF", "b"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct Digits {
  const char* name;
  std::string text;
  bool allDigits;
};

class DecimalDigits : public ::testing::TestWithParam<Digits> {};

TEST_P(DecimalDigits, HoldEveryScriptsDigitsAndNothingElse) {
  EXPECT_EQ(CharacterSet::decimalDigits().isSupersetOfCharacters(GetParam().text),
            GetParam().allDigits);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DecimalDigits,
    ::testing::Values(Digits{"empty", "", true}, Digits{"ascii", "0123456789", true},
                      Digits{"arabicIndic", "\u0661\u0662\u0663", true},
                      Digits{"devanagari", "\u0967\u0968", true},
                      Digits{"fullwidth", "\uFF11\uFF12", true},
                      Digits{"mathematicalBold", "\U0001D7CE\U0001D7CF", true},
                      Digits{"mixedScripts", "1\u0662\uFF13", true}, Digits{"letter", "12a", false},
                      Digits{"space", "12 3", false},
                      Digits{"superscriptTwo", "\u00B2", false},  // No, not Nd
                      Digits{"romanNumeral", "\u2163", false},    // Nl
                      Digits{"circledOne", "\u2460", false},      // No
                      Digits{"keycap", "1\uFE0F\u20E3", false},   // marks are not digits
                      Digits{"badUtf8", std::string("1\xFF"), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CharacterSetScalars, SetOperationsKeepTheCategoriesBeyondAscii) {
  const auto withoutDigits =
      CharacterSet::alphanumerics().subtracting(CharacterSet::decimalDigits());
  EXPECT_TRUE(withoutDigits.contains(U'a'));
  EXPECT_FALSE(withoutDigits.contains(U'7'));
  EXPECT_FALSE(withoutDigits.contains(U'\u0667'));
  const auto both = CharacterSet::charactersIn("+").unioning(CharacterSet::decimalDigits());
  EXPECT_TRUE(both.isSupersetOfCharacters("+\u0667"));
  EXPECT_FALSE(
      CharacterSet::decimalDigits().contains(static_cast<char>(0xB7)));  // a byte, never a member
}

}  // namespace
