#pragma once

#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

// Bodies of the identity server's OAuth calls. Keys go out exactly as the fields are named
// (snake_case and camelCase side by side, never converted); every field is always written,
// even when empty.

namespace ZentrelSDK {

// The authorization request, sent as the URL query.
struct OAuthRequestBodyAuth {
  static constexpr const char* swiftTypeName = "OAuthRequestBodyAuth";

  std::string client_id;
  std::string state;
  std::string response_type;
  std::string code_challenge;
  std::string code_challenge_method;

  OAuthRequestBodyAuth() = default;
  OAuthRequestBodyAuth(std::string id, std::string state, std::string responseType,
                       std::string codeChallenge, std::string codeChallengeMethod)
      : client_id(std::move(id)),
        state(std::move(state)),
        response_type(std::move(responseType)),
        code_challenge(std::move(codeChallenge)),
        code_challenge_method(std::move(codeChallengeMethod)) {}

  static Foundation::Result<OAuthRequestBodyAuth, Foundation::DecodingError> decode(
      const nlohmann::json& json);
  bool operator==(const OAuthRequestBodyAuth&) const = default;
};

// The login challenge lookup, sent as the URL query.
struct OAuthRequestBodyGetLogin {
  static constexpr const char* swiftTypeName = "OAuthRequestBodyGetLogin";

  std::string challenge;

  OAuthRequestBodyGetLogin() = default;
  explicit OAuthRequestBodyGetLogin(std::string challenge) : challenge(std::move(challenge)) {}

  static Foundation::Result<OAuthRequestBodyGetLogin, Foundation::DecodingError> decode(
      const nlohmann::json& json);
  bool operator==(const OAuthRequestBodyGetLogin&) const = default;
};

// The login with the user's verification code.
struct OAuthRequestBodyPostLogin {
  static constexpr const char* swiftTypeName = "OAuthRequestBodyPostLogin";

  std::string code;
  std::string challenge;

  OAuthRequestBodyPostLogin() = default;
  OAuthRequestBodyPostLogin(std::string code, std::string challenge)
      : code(std::move(code)), challenge(std::move(challenge)) {}

  static Foundation::Result<OAuthRequestBodyPostLogin, Foundation::DecodingError> decode(
      const nlohmann::json& json);
  bool operator==(const OAuthRequestBodyPostLogin&) const = default;
};

// The consent grant; the scopes keep their order.
struct OAuthRequestBodyConsent {
  static constexpr const char* swiftTypeName = "OAuthRequestBodyConsent";

  std::string challenge;
  std::vector<std::string> grantScopes;

  OAuthRequestBodyConsent() = default;
  OAuthRequestBodyConsent(std::string challenge, std::vector<std::string> grantScopes)
      : challenge(std::move(challenge)), grantScopes(std::move(grantScopes)) {}

  static Foundation::Result<OAuthRequestBodyConsent, Foundation::DecodingError> decode(
      const nlohmann::json& json);
  bool operator==(const OAuthRequestBodyConsent&) const = default;
};

// The code exchange, sent as a form.
struct OAuthRequestBodyToken {
  static constexpr const char* swiftTypeName = "OAuthRequestBodyToken";

  std::string code;
  std::string client_id;
  std::string grant_type;
  std::string code_verifier;

  OAuthRequestBodyToken() = default;
  OAuthRequestBodyToken(std::string code, std::string clientId, std::string grantType,
                        std::string codeVerifier)
      : code(std::move(code)),
        client_id(std::move(clientId)),
        grant_type(std::move(grantType)),
        code_verifier(std::move(codeVerifier)) {}

  static Foundation::Result<OAuthRequestBodyToken, Foundation::DecodingError> decode(
      const nlohmann::json& json);
  bool operator==(const OAuthRequestBodyToken&) const = default;
};

void to_json(nlohmann::json& json, const OAuthRequestBodyAuth& body);
void to_json(nlohmann::json& json, const OAuthRequestBodyGetLogin& body);
void to_json(nlohmann::json& json, const OAuthRequestBodyPostLogin& body);
void to_json(nlohmann::json& json, const OAuthRequestBodyConsent& body);
void to_json(nlohmann::json& json, const OAuthRequestBodyToken& body);

// For nlohmann's get<T>(): throws what decode() reports.
void from_json(const nlohmann::json& json, OAuthRequestBodyAuth& body);
void from_json(const nlohmann::json& json, OAuthRequestBodyGetLogin& body);
void from_json(const nlohmann::json& json, OAuthRequestBodyPostLogin& body);
void from_json(const nlohmann::json& json, OAuthRequestBodyConsent& body);
void from_json(const nlohmann::json& json, OAuthRequestBodyToken& body);

}  // namespace ZentrelSDK
