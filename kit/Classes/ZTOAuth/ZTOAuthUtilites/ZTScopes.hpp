#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

// The scopes the kit knows; the raw value is the scope string the server uses.
enum class ZTScopes {
  UserAddress,
  UserPhone,
  UserEmail,
  UserData,
  PassportData,
  PassportImage,
  PassportStatus,
  ProofOfAddressData,
  ProofOfAddressImage,
  ProofOfAddressStatus,
  DriverLicenseData,
  DriverLicenseImage,
  DriverLicenseStatus,
  IdCardData,
  IdCardImage,
  IdCardStatus,
  WalletAccounts,
  WalletAddress,
};

std::string rawValue(ZTScopes scope);
// Exact, case-sensitive match of a scope string.
template <>
std::optional<ZTScopes> fromRawValue(std::string_view text);
// A short English label for the scope.
std::string getLocalize(ZTScopes scope);

// Labels for host apps that list scopes themselves.
struct ZTScopeUtilites {
  // One label per scope string, in order; "" for a string that is not a known scope.
  static std::vector<std::string> localizeScopes(const std::vector<std::string>& scopes);
};

}  // namespace ZentrelSDK
