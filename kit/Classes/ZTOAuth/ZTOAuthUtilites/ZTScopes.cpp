#include "ZTOAuth/ZTOAuthUtilites/ZTScopes.hpp"

#include <array>

namespace ZentrelSDK {

namespace {

struct ScopeText {
  ZTScopes scope;
  std::string_view raw;
  std::string_view label;
};

constexpr std::array<ScopeText, 18> kScopes{{
    {ZTScopes::UserAddress, "user:address:read", "Read address"},
    {ZTScopes::UserPhone, "user:phone:read", "Read phone"},
    {ZTScopes::UserEmail, "user:email:read", "Read email"},
    {ZTScopes::UserData, "user:data:read", "Read user information"},
    {ZTScopes::PassportData, "documents:passport:data:read", "Read passport data"},
    {ZTScopes::PassportImage, "documents:passport:image:read", "Read passport image"},
    {ZTScopes::PassportStatus, "documents:passport:status:read", "Read passport status"},
    {ZTScopes::ProofOfAddressData, "documents:proof_address:data:read",
     "Read proof of address data"},
    {ZTScopes::ProofOfAddressImage, "documents:proof_address:image:read",
     "Read proof of address image"},
    {ZTScopes::ProofOfAddressStatus, "documents:proof_address:status:read",
     "Read proof of address status"},
    {ZTScopes::DriverLicenseData, "documents:driver_license:data:read", "Read driver license data"},
    {ZTScopes::DriverLicenseImage, "documents:driver_license:image:read",
     "Read driver license image"},
    {ZTScopes::DriverLicenseStatus, "documents:driver_license:status:read",
     "Read driver license status"},
    {ZTScopes::IdCardData, "documents:id_card:data:read", "Read id card data"},
    {ZTScopes::IdCardImage, "documents:id_card:image:read", "Read id card image"},
    {ZTScopes::IdCardStatus, "documents:id_card:status:read", "Read id card status"},
    {ZTScopes::WalletAccounts, "wallet:accounts:read", "Read only wallet Accounts data"},
    {ZTScopes::WalletAddress, "wallet:address:read", "Read only wallet Address data"},
}};

// The table is indexed by the enumeration.
constexpr bool inCaseOrder() {
  for (std::size_t i = 0; i < kScopes.size(); ++i)
    if (static_cast<std::size_t>(kScopes[i].scope) != i) return false;
  return true;
}
static_assert(inCaseOrder());

const ScopeText& entry(ZTScopes scope) {
  return kScopes[static_cast<std::size_t>(scope)];
}

}  // namespace

std::string rawValue(ZTScopes scope) {
  return std::string(entry(scope).raw);
}

template <>
std::optional<ZTScopes> fromRawValue(std::string_view text) {
  for (const auto& s : kScopes)
    if (s.raw == text) return s.scope;
  return std::nullopt;
}

std::string getLocalize(ZTScopes scope) {
  return std::string(entry(scope).label);
}

std::vector<std::string> ZTScopeUtilites::localizeScopes(const std::vector<std::string>& scopes) {
  std::vector<std::string> labels;
  labels.reserve(scopes.size());
  for (const auto& scope : scopes) {
    const auto known = fromRawValue<ZTScopes>(scope);
    labels.push_back(known ? getLocalize(*known) : std::string());
  }
  return labels;
}

}  // namespace ZentrelSDK
