#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include <Foundation/JSONCoding.hpp>

namespace ZentrelSDK {

// What a host app sees of the constants: the API-server endpoint paths (bare, no host and no
// version) and the document enumerations with their wire and display texts.
class ZTPublicConstants {
 public:
  enum class DocumentType { Passport, DriverLicense, ProofOfAddress, IdCard };
  enum class AreaType { Internal };
  enum class DocumentStatusType {
    Draft,
    Recognition,
    NotReadable,
    NotVerified,
    Verified,
    PendingReview
  };

  ZTPublicConstants() = default;

  static std::string getUserEndpoint();
  static std::string getUserAddressEndpoint();
  static std::string getUserPersonalInfoEndpoint();
  static std::string getUserScopesEndpoint();
  static std::string getUserAccountsEndpoint();
  static std::string getUserAccountsActiveEndpoint();
  static std::string getDocumentsEndpoint();
};

template <class E>
std::optional<E> fromRawValue(std::string_view text);

// Wire texts (exact, case-sensitive both ways) and English display texts.
std::string rawValue(ZTPublicConstants::DocumentType type);
template <>
std::optional<ZTPublicConstants::DocumentType> fromRawValue(std::string_view text);
std::string getLocalize(ZTPublicConstants::DocumentType type);

std::string rawValue(ZTPublicConstants::AreaType type);
template <>
std::optional<ZTPublicConstants::AreaType> fromRawValue(std::string_view text);

std::string rawValue(ZTPublicConstants::DocumentStatusType status);
template <>
std::optional<ZTPublicConstants::DocumentStatusType> fromRawValue(std::string_view text);
std::string getLocalize(ZTPublicConstants::DocumentStatusType status);

// The three enumerations travel as their wire texts, both ways.
void to_json(nlohmann::json& json, ZTPublicConstants::DocumentType type);
void to_json(nlohmann::json& json, ZTPublicConstants::AreaType type);
void to_json(nlohmann::json& json, ZTPublicConstants::DocumentStatusType status);

}  // namespace ZentrelSDK

// Strict decoding reads them from their wire texts; any other text fails.
template <>
struct Foundation::RawTextCoding<ZentrelSDK::ZTPublicConstants::DocumentType> {
  static constexpr const char* swiftTypeName = "DocumentType";
  static std::optional<ZentrelSDK::ZTPublicConstants::DocumentType> fromRawValue(
      std::string_view text) {
    return ZentrelSDK::fromRawValue<ZentrelSDK::ZTPublicConstants::DocumentType>(text);
  }
};
template <>
struct Foundation::RawTextCoding<ZentrelSDK::ZTPublicConstants::AreaType> {
  static constexpr const char* swiftTypeName = "AreaType";
  static std::optional<ZentrelSDK::ZTPublicConstants::AreaType> fromRawValue(
      std::string_view text) {
    return ZentrelSDK::fromRawValue<ZentrelSDK::ZTPublicConstants::AreaType>(text);
  }
};
template <>
struct Foundation::RawTextCoding<ZentrelSDK::ZTPublicConstants::DocumentStatusType> {
  static constexpr const char* swiftTypeName = "DocumentStatusType";
  static std::optional<ZentrelSDK::ZTPublicConstants::DocumentStatusType> fromRawValue(
      std::string_view text) {
    return ZentrelSDK::fromRawValue<ZentrelSDK::ZTPublicConstants::DocumentStatusType>(text);
  }
};
