#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

namespace {

constexpr const char* USER_DATA = "/user";
constexpr const char* USER_ADDRESS = "/user/address";
constexpr const char* USER_INFO = "/user/info/personal";
constexpr const char* USER_SCOPES = "/scopes";
constexpr const char* USER_ACCOUNTS = "/accounts";
constexpr const char* USER_ACCOUNTS_ACTIVE = "/accounts/active";
constexpr const char* DOCUMENT_GET_ALL_CURRENT_USER_DOCUMENTS = "/documents";

using DocumentType = ZTPublicConstants::DocumentType;
using AreaType = ZTPublicConstants::AreaType;
using DocumentStatusType = ZTPublicConstants::DocumentStatusType;

constexpr DocumentType kDocumentTypes[] = {DocumentType::Passport, DocumentType::DriverLicense,
                                           DocumentType::ProofOfAddress, DocumentType::IdCard};
constexpr DocumentStatusType kStatuses[] = {
    DocumentStatusType::Draft,       DocumentStatusType::Recognition,
    DocumentStatusType::NotReadable, DocumentStatusType::NotVerified,
    DocumentStatusType::Verified,    DocumentStatusType::PendingReview};

}  // namespace

std::string ZTPublicConstants::getUserEndpoint() {
  return USER_DATA;
}
std::string ZTPublicConstants::getUserAddressEndpoint() {
  return USER_ADDRESS;
}
std::string ZTPublicConstants::getUserPersonalInfoEndpoint() {
  return USER_INFO;
}
std::string ZTPublicConstants::getUserScopesEndpoint() {
  return USER_SCOPES;
}
std::string ZTPublicConstants::getUserAccountsEndpoint() {
  return USER_ACCOUNTS;
}
std::string ZTPublicConstants::getUserAccountsActiveEndpoint() {
  return USER_ACCOUNTS_ACTIVE;
}
std::string ZTPublicConstants::getDocumentsEndpoint() {
  return DOCUMENT_GET_ALL_CURRENT_USER_DOCUMENTS;
}

std::string rawValue(DocumentType type) {
  switch (type) {
    case DocumentType::Passport:
      return "Passport";
    case DocumentType::DriverLicense:
      return "DriverLicense";
    case DocumentType::ProofOfAddress:
      return "ProofOfAddress";
    case DocumentType::IdCard:
      return "IdCard";
  }
  return "";
}

template <>
std::optional<DocumentType> fromRawValue(std::string_view text) {
  for (auto type : kDocumentTypes) {
    if (rawValue(type) == text) return type;
  }
  return std::nullopt;
}

std::string getLocalize(DocumentType type) {
  switch (type) {
    case DocumentType::Passport:
      return "Passport";
    case DocumentType::DriverLicense:
      return "Driver License";
    case DocumentType::ProofOfAddress:
      return "Proof of Address";
    case DocumentType::IdCard:
      return "Id Card";
  }
  return "";
}

std::string rawValue(AreaType type) {
  switch (type) {
    case AreaType::Internal:
      return "Internal";
  }
  return "";
}

template <>
std::optional<AreaType> fromRawValue(std::string_view text) {
  if (rawValue(AreaType::Internal) == text) return AreaType::Internal;
  return std::nullopt;
}

std::string rawValue(DocumentStatusType status) {
  switch (status) {
    case DocumentStatusType::Draft:
      return "Draft";
    case DocumentStatusType::Recognition:
      return "Recognition";
    case DocumentStatusType::NotReadable:
      return "NotReadable";
    case DocumentStatusType::NotVerified:
      return "NotVerified";
    case DocumentStatusType::Verified:
      return "Verified";
    case DocumentStatusType::PendingReview:
      return "PendingReview";
  }
  return "";
}

template <>
std::optional<DocumentStatusType> fromRawValue(std::string_view text) {
  for (auto status : kStatuses) {
    if (rawValue(status) == text) return status;
  }
  return std::nullopt;
}

std::string getLocalize(DocumentStatusType status) {
  switch (status) {
    case DocumentStatusType::Draft:
      return "Draft";
    case DocumentStatusType::Recognition:
      return "Recognizing";
    case DocumentStatusType::NotReadable:
      return "Not readable";
    case DocumentStatusType::NotVerified:
      return "Not verified";
    case DocumentStatusType::Verified:
      return "Verified";
    case DocumentStatusType::PendingReview:
      return "Pending review";
  }
  return "";
}

void to_json(nlohmann::json& json, DocumentType type) {
  json = rawValue(type);
}
void to_json(nlohmann::json& json, AreaType type) {
  json = rawValue(type);
}
void to_json(nlohmann::json& json, DocumentStatusType status) {
  json = rawValue(status);
}

}  // namespace ZentrelSDK
