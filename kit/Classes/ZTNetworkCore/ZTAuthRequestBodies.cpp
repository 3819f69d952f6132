#include "ZTNetworkCore/ZTAuthRequestBodies.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

using Foundation::DecodingError;
using Foundation::KeyedDecodingContainer;
using Foundation::Result;

Result<EmailOnlyBody, DecodingError> EmailOnlyBody::decode(const nlohmann::json& json) {
  KeyedDecodingContainer container(json);
  EmailOnlyBody body;
  container.decode("email", body.email);
  return container.finish(std::move(body));
}

Result<AuthTokenBody, DecodingError> AuthTokenBody::decode(const nlohmann::json& json) {
  KeyedDecodingContainer container(json);
  AuthTokenBody body;
  container.decode("challengeType", body.challengeType);
  container.decode("email", body.email);
  container.decode("password", body.password);
  container.decode("code", body.code);
  return container.finish(std::move(body));
}

Result<SignUpBody, DecodingError> SignUpBody::decode(const nlohmann::json& json) {
  KeyedDecodingContainer container(json);
  SignUpBody body;
  container.decode("email", body.email);
  container.decode("password", body.password);
  container.decode("code", body.code);
  return container.finish(std::move(body));
}

Result<ResetPasswordConfirmBody, DecodingError> ResetPasswordConfirmBody::decode(
    const nlohmann::json& json) {
  KeyedDecodingContainer container(json);
  ResetPasswordConfirmBody body;
  container.decode("newPassword", body.newPassword);
  container.decode("passwordResetToken", body.passwordResetToken);
  return container.finish(std::move(body));
}

Result<CodeOnlyBody, DecodingError> CodeOnlyBody::decode(const nlohmann::json& json) {
  KeyedDecodingContainer container(json);
  CodeOnlyBody body;
  container.decode("code", body.code);
  return container.finish(std::move(body));
}

void to_json(nlohmann::json& json, const EmailOnlyBody& body) {
  json = nlohmann::json{{"email", body.email}};
}

void to_json(nlohmann::json& json, const AuthTokenBody& body) {
  json = nlohmann::json{{"challengeType", body.challengeType},
                        {"email", body.email},
                        {"password", body.password},
                        {"code", body.code}};
}

void to_json(nlohmann::json& json, const SignUpBody& body) {
  json = nlohmann::json{{"email", body.email}, {"password", body.password}, {"code", body.code}};
}

void to_json(nlohmann::json& json, const ResetPasswordConfirmBody& body) {
  json = nlohmann::json{{"newPassword", body.newPassword},
                        {"passwordResetToken", body.passwordResetToken}};
}

void to_json(nlohmann::json& json, const CodeOnlyBody& body) {
  json = nlohmann::json{{"code", body.code}};
}

void from_json(const nlohmann::json& json, EmailOnlyBody& body) {
  detail::decodeOrThrow(json, body);
}
void from_json(const nlohmann::json& json, AuthTokenBody& body) {
  detail::decodeOrThrow(json, body);
}
void from_json(const nlohmann::json& json, SignUpBody& body) {
  detail::decodeOrThrow(json, body);
}
void from_json(const nlohmann::json& json, ResetPasswordConfirmBody& body) {
  detail::decodeOrThrow(json, body);
}
void from_json(const nlohmann::json& json, CodeOnlyBody& body) {
  detail::decodeOrThrow(json, body);
}

}  // namespace ZentrelSDK
