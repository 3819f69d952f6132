#include <ZTUtilites/ZTValidators.hpp>

#include <optional>
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

TEST(ZTValidators, AcceptOnlyTheirPattern) {
  using Check = bool (*)(const std::optional<std::string>&);
  const Check email = ZTValidators::validateEmail, password = ZTValidators::validatePassword,
              code = ZTValidators::validateCode;
  const struct {
    Check check;
    std::optional<std::string> text;
    bool valid;
  } rows[] = {
      {email, std::nullopt, false},
      {email, "", false},
      {email, "user@example.c", false},
      {email, "user@example.co", true},
      {email, "user@example." + letters(64), true},
      {email, "user@example." + letters(65), false},
      {email, "user@example.c0m", false},
      {email, "user@localhost", false},
      {email, "First.Last+tag_1%x-y@Sub-Domain.Example.COM", true},
      {email, "user@example..com", true},
      {email, ".user@example.com", true},
      {email, "us er@example.com", false},
      {email, "user@example.com\n", false},
      {email, "user@exa@mple.com", false},
      {email, "j\u00FCrgen@example.com", false},
      {email, "@example.com", false},
      {email, "user@.com", false},
      {password, std::nullopt, false},
      {password, letters(7), false},
      {password, letters(8), true},
      {password, letters(30), true},
      {password, letters(31), false},
      {password, "Ab1._%+-", true},
      {password, "password!", false},
      {password, "passw\u00F6rd1", false},
      {code, std::nullopt, false},
      {code, "12345", false},
      {code, "123456", true},
      {code, "12345678", true},
      {code, "123456789", false},
      {code, "a1-B2c", true},
      {code, "123456 ", false},
      {code, "\u0661\u0662\u0663\u0664\u0665\u0666", false},  // Arabic-Indic digits
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.check(row.text), row.valid) << row.text.value_or("nil");
}
