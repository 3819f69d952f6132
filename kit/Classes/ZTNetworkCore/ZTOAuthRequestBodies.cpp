#include "ZTNetworkCore/ZTOAuthRequestBodies.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

using Foundation::DecodingError;
using Foundation::KeyedDecodingContainer;
using Foundation::Result;

Result<OAuthRequestBodyAuth, DecodingError> OAuthRequestBodyAuth::decode(
    const nlohmann::json& json) {
  KeyedDecodingContainer container(json);
  OAuthRequestBodyAuth body;
  container.decode("client_id", body.client_id);
  container.decode("state", body.state);
  container.decode("response_type", body.response_type);
  container.decode("code_challenge", body.code_challenge);
  container.decode("code_challenge_method", body.code_challenge_method);
  return container.finish(std::move(body));
}

Result<OAuthRequestBodyGetLogin, DecodingError> OAuthRequestBodyGetLogin::decode(
    const nlohmann::json& json) {
  KeyedDecodingContainer container(json);
  OAuthRequestBodyGetLogin body;
  container.decode("challenge", body.challenge);
  return container.finish(std::move(body));
}

Result<OAuthRequestBodyPostLogin, DecodingError> OAuthRequestBodyPostLogin::decode(
    const nlohmann::json& json) {
  KeyedDecodingContainer container(json);
  OAuthRequestBodyPostLogin body;
  container.decode("code", body.code);
  container.decode("challenge", body.challenge);
  return container.finish(std::move(body));
}

Result<OAuthRequestBodyConsent, DecodingError> OAuthRequestBodyConsent::decode(
    const nlohmann::json& json) {
  KeyedDecodingContainer container(json);
  OAuthRequestBodyConsent body;
  container.decode("challenge", body.challenge);
  container.decode("grantScopes", body.grantScopes);
  return container.finish(std::move(body));
}

Result<OAuthRequestBodyToken, DecodingError> OAuthRequestBodyToken::decode(
    const nlohmann::json& json) {
  KeyedDecodingContainer container(json);
  OAuthRequestBodyToken body;
  container.decode("code", body.code);
  container.decode("client_id", body.client_id);
  container.decode("grant_type", body.grant_type);
  container.decode("code_verifier", body.code_verifier);
  return container.finish(std::move(body));
}

void to_json(nlohmann::json& json, const OAuthRequestBodyAuth& body) {
  json = nlohmann::json{{"client_id", body.client_id},
                        {"state", body.state},
                        {"response_type", body.response_type},
                        {"code_challenge", body.code_challenge},
                        {"code_challenge_method", body.code_challenge_method}};
}

void to_json(nlohmann::json& json, const OAuthRequestBodyGetLogin& body) {
  json = nlohmann::json{{"challenge", body.challenge}};
}

void to_json(nlohmann::json& json, const OAuthRequestBodyPostLogin& body) {
  json = nlohmann::json{{"code", body.code}, {"challenge", body.challenge}};
}

void to_json(nlohmann::json& json, const OAuthRequestBodyConsent& body) {
  // Built by hand so an empty list stays an array (an empty braced list would be null).
  json = nlohmann::json::object();
  json["challenge"] = body.challenge;
  json["grantScopes"] = nlohmann::json::array();
  for (const auto& scope : body.grantScopes) json["grantScopes"].push_back(scope);
}

void to_json(nlohmann::json& json, const OAuthRequestBodyToken& body) {
  json = nlohmann::json{{"code", body.code},
                        {"client_id", body.client_id},
                        {"grant_type", body.grant_type},
                        {"code_verifier", body.code_verifier}};
}

void from_json(const nlohmann::json& json, OAuthRequestBodyAuth& body) {
  detail::decodeOrThrow(json, body);
}
void from_json(const nlohmann::json& json, OAuthRequestBodyGetLogin& body) {
  detail::decodeOrThrow(json, body);
}
void from_json(const nlohmann::json& json, OAuthRequestBodyPostLogin& body) {
  detail::decodeOrThrow(json, body);
}
void from_json(const nlohmann::json& json, OAuthRequestBodyConsent& body) {
  detail::decodeOrThrow(json, body);
}
void from_json(const nlohmann::json& json, OAuthRequestBodyToken& body) {
  detail::decodeOrThrow(json, body);
}

}  // namespace ZentrelSDK
