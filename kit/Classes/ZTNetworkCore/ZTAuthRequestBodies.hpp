#pragma once

#include <string>
#include <utility>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

// Bodies of the identity server's sign-in calls. Keys go out exactly as the fields are named
// (camelCase included, never converted); every field is a text and is always written, even
// when empty.

namespace ZentrelSDK {

// The e-mail check, the code request, the password reset and the authenticator reset.
struct EmailOnlyBody {
  static constexpr const char* swiftTypeName = "EmailOnlyBody";

  std::string email;

  EmailOnlyBody() = default;
  explicit EmailOnlyBody(std::string email) : email(std::move(email)) {}

  static Foundation::Result<EmailOnlyBody, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

// The log-in; `challengeType` is the text the server expects ("emailLink", "otp", "password").
struct AuthTokenBody {
  static constexpr const char* swiftTypeName = "AuthTokenBody";

  std::string challengeType;
  std::string email;
  std::string password;
  std::string code;

  AuthTokenBody() = default;
  AuthTokenBody(std::string challengeType, std::string email, std::string password,
                std::string code)
      : challengeType(std::move(challengeType)),
        email(std::move(email)),
        password(std::move(password)),
        code(std::move(code)) {}

  static Foundation::Result<AuthTokenBody, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

struct SignUpBody {
  static constexpr const char* swiftTypeName = "SignUpBody";

  std::string email;
  std::string password;
  std::string code;

  SignUpBody() = default;
  SignUpBody(std::string email, std::string password, std::string code)
      : email(std::move(email)), password(std::move(password)), code(std::move(code)) {}

  static Foundation::Result<SignUpBody, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

// The new password with the code that authorises it.
struct ResetPasswordConfirmBody {
  static constexpr const char* swiftTypeName = "ResetPasswordConfirmBody";

  std::string newPassword;
  std::string passwordResetToken;

  ResetPasswordConfirmBody() = default;
  ResetPasswordConfirmBody(std::string password, std::string code)
      : newPassword(std::move(password)), passwordResetToken(std::move(code)) {}

  static Foundation::Result<ResetPasswordConfirmBody, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

// The authenticator reset's confirmation.
struct CodeOnlyBody {
  static constexpr const char* swiftTypeName = "CodeOnlyBody";

  std::string code;

  CodeOnlyBody() = default;
  explicit CodeOnlyBody(std::string code) : code(std::move(code)) {}

  static Foundation::Result<CodeOnlyBody, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const EmailOnlyBody& body);
void to_json(nlohmann::json& json, const AuthTokenBody& body);
void to_json(nlohmann::json& json, const SignUpBody& body);
void to_json(nlohmann::json& json, const ResetPasswordConfirmBody& body);
void to_json(nlohmann::json& json, const CodeOnlyBody& body);

// For nlohmann's get<T>(): throws what decode() reports.
void from_json(const nlohmann::json& json, EmailOnlyBody& body);
void from_json(const nlohmann::json& json, AuthTokenBody& body);
void from_json(const nlohmann::json& json, SignUpBody& body);
void from_json(const nlohmann::json& json, ResetPasswordConfirmBody& body);
void from_json(const nlohmann::json& json, CodeOnlyBody& body);

}  // namespace ZentrelSDK
