#include <ZTUtilites/ZTValidators.hpp>

#include <string>

#include <gtest/gtest.h>

using ZentrelSDK::ZTValidators;

namespace {

std::string letters(std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += static_cast<char>('a' + i % 26);
  return text;
}

}  // namespace

TEST(ZTValidators, AbsentAndEmptyTextsAreNeverValid) {
  EXPECT_FALSE(ZTValidators::validateEmail(std::nullopt));
  EXPECT_FALSE(ZTValidators::validatePassword(std::nullopt));
  EXPECT_FALSE(ZTValidators::validateCode(std::nullopt));
  EXPECT_FALSE(ZTValidators::validateEmail(""));
  EXPECT_FALSE(ZTValidators::validatePassword(""));
  EXPECT_FALSE(ZTValidators::validateCode(""));
}

TEST(ZTValidators, EmailLastLabelTakesTwoToSixtyFourLetters) {
  EXPECT_FALSE(ZTValidators::validateEmail("user@example.c"));
  EXPECT_TRUE(ZTValidators::validateEmail("user@example.co"));
  EXPECT_TRUE(ZTValidators::validateEmail("user@example." + letters(64)));
  EXPECT_FALSE(ZTValidators::validateEmail("user@example." + letters(65)));
  EXPECT_FALSE(ZTValidators::validateEmail("user@example.c0m"));
  EXPECT_FALSE(ZTValidators::validateEmail("user@localhost"));
}

TEST(ZTValidators, EmailCharacters) {
  EXPECT_TRUE(ZTValidators::validateEmail("First.Last+tag_1%x-y@Sub-Domain.Example.COM"));
  EXPECT_TRUE(ZTValidators::validateEmail("user@example..com"));
  EXPECT_TRUE(ZTValidators::validateEmail(".user@example.com"));
  EXPECT_FALSE(ZTValidators::validateEmail("us er@example.com"));
  EXPECT_FALSE(ZTValidators::validateEmail(" user@example.com"));
  EXPECT_FALSE(ZTValidators::validateEmail("user@example.com "));
  EXPECT_FALSE(ZTValidators::validateEmail("user@example.com\n"));
  EXPECT_FALSE(ZTValidators::validateEmail("user@@example.com"));
  EXPECT_FALSE(ZTValidators::validateEmail("user@exa@mple.com"));
  EXPECT_FALSE(ZTValidators::validateEmail("j\u00FCrgen@example.com"));
  EXPECT_FALSE(ZTValidators::validateEmail("user@example.c\u00F6m"));
  EXPECT_FALSE(ZTValidators::validateEmail("@example.com"));
  EXPECT_FALSE(ZTValidators::validateEmail("user@.com"));
}

TEST(ZTValidators, PasswordTakesEightToThirtyAllowedCharacters) {
  EXPECT_FALSE(ZTValidators::validatePassword(letters(7)));
  EXPECT_TRUE(ZTValidators::validatePassword(letters(8)));
  EXPECT_TRUE(ZTValidators::validatePassword(letters(30)));
  EXPECT_FALSE(ZTValidators::validatePassword(letters(31)));
  EXPECT_TRUE(ZTValidators::validatePassword("Ab1._%+-"));
  EXPECT_FALSE(ZTValidators::validatePassword("password!"));
  EXPECT_FALSE(ZTValidators::validatePassword("pass word"));
  EXPECT_FALSE(ZTValidators::validatePassword("passw\u00F6rd1"));
}

TEST(ZTValidators, CodeTakesSixToEightAllowedCharacters) {
  EXPECT_FALSE(ZTValidators::validateCode("12345"));
  EXPECT_TRUE(ZTValidators::validateCode("123456"));
  EXPECT_TRUE(ZTValidators::validateCode("12345678"));
  EXPECT_FALSE(ZTValidators::validateCode("123456789"));
  EXPECT_TRUE(ZTValidators::validateCode("a1-B2c"));
  EXPECT_FALSE(ZTValidators::validateCode("123 456"));
  EXPECT_FALSE(ZTValidators::validateCode("123456 "));
  // Arabic-Indic digits.
  EXPECT_FALSE(ZTValidators::validateCode("\u0661\u0662\u0663\u0664\u0665\u0666"));
}
