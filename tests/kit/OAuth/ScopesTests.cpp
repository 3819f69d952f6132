#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ZTModalScopesView/ZTScopesDescription/ZTOauthScopesDescriptor.hpp"
#include "ZTOAuth/ZTOAuthUtilites/ZTScopes.hpp"

using namespace ZentrelSDK;
using Strings = std::vector<std::string>;

namespace {

// The catalogue of known scopes with both of their texts: the consent sentence and the label.
struct KnownScope {
  ZTScopes scope;
  const char* raw;
  const char* description;
  const char* label;
};
const KnownScope kKnown[] = {
    {ZTScopes::UserAddress, "user:address:read", "Read address", "Read address"},
    {ZTScopes::UserPhone, "user:phone:read", "Read phone number", "Read phone"},
    {ZTScopes::UserEmail, "user:email:read", "Read email", "Read email"},
    {ZTScopes::UserData, "user:data:read", "Read user personal info", "Read user information"},
    {ZTScopes::PassportData, "documents:passport:data:read", "Read passport content",
     "Read passport data"},
    {ZTScopes::PassportImage, "documents:passport:image:read", "Read passport image",
     "Read passport image"},
    {ZTScopes::PassportStatus, "documents:passport:status:read", "Read passport status",
     "Read passport status"},
    {ZTScopes::ProofOfAddressData, "documents:proof_address:data:read",
     "Read proof of address data", "Read proof of address data"},
    {ZTScopes::ProofOfAddressImage, "documents:proof_address:image:read",
     "Read proof of address image", "Read proof of address image"},
    {ZTScopes::ProofOfAddressStatus, "documents:proof_address:status:read",
     "Read proof of address status", "Read proof of address status"},
    {ZTScopes::DriverLicenseData, "documents:driver_license:data:read", "Read driver license data",
     "Read driver license data"},
    {ZTScopes::DriverLicenseImage, "documents:driver_license:image:read",
     "Read driver license image", "Read driver license image"},
    {ZTScopes::DriverLicenseStatus, "documents:driver_license:status:read",
     "Read driver license status", "Read driver license status"},
    {ZTScopes::IdCardData, "documents:id_card:data:read", "Read ID card data", "Read id card data"},
    {ZTScopes::IdCardImage, "documents:id_card:image:read", "Read ID card image",
     "Read id card image"},
    {ZTScopes::IdCardStatus, "documents:id_card:status:read", "Read ID card status",
     "Read id card status"},
    {ZTScopes::WalletAccounts, "wallet:accounts:read", "Read information about wallet",
     "Read only wallet Accounts data"},
    {ZTScopes::WalletAddress, "wallet:address:read", "Read information about wallet",
     "Read only wallet Address data"},
};

}  // namespace

TEST(ScopeCatalogue, EveryKnownScopeHasItsRawValueLabelAndDescription) {
  for (const auto& known : kKnown) {
    SCOPED_TRACE(known.raw);
    EXPECT_EQ(rawValue(known.scope), known.raw);
    EXPECT_EQ(fromRawValue<ZTScopes>(known.raw), known.scope);
    EXPECT_EQ(getLocalize(known.scope), known.label);
    EXPECT_EQ(ZTOauthScopesDescriptor::decrypt({known.raw}), Strings{known.description});
  }
}

TEST(ScopeCatalogue, LocalizeKeepsOneEntryPerInput) {
  EXPECT_EQ(ZTScopeUtilites::localizeScopes({"user:phone:read", "calendar:read"}),
            (Strings{"Read phone", ""}));
  EXPECT_EQ(ZTScopeUtilites::localizeScopes({"User:email:read", "", "wallet:accounts:read"}),
            (Strings{"", "", "Read only wallet Accounts data"}));
  EXPECT_TRUE(ZTScopeUtilites::localizeScopes({}).empty());
}

TEST(ScopeDescriptor, DropsUnknownScopesAndKeepsOrderAndRepeats) {
  EXPECT_TRUE(ZTOauthScopesDescriptor::decrypt({}).empty());
  EXPECT_EQ(ZTOauthScopesDescriptor::decrypt(
                {"user:email:read", "calendar:events:read", "wallet:accounts:read"}),
            (Strings{"Read email", "Read information about wallet"}));
  EXPECT_EQ(
      ZTOauthScopesDescriptor::decrypt({"user:phone:read", "user:email:read", "user:phone:read"}),
      (Strings{"Read phone number", "Read email", "Read phone number"}));
  EXPECT_TRUE(ZTOauthScopesDescriptor::decrypt({"User:email:read", ""}).empty());
}

TEST(ScopeDescriptor, WalkStopsAtTheFirstLeaf) {
  EXPECT_EQ(ZTOauthScopesDescriptor::decrypt(
                {"user:email:write", "user:email", "wallet", "wallet:anything:at:all"}),
            (Strings{"Read email", "Read email", "Read information about wallet",
                     "Read information about wallet"}));
  EXPECT_EQ(ZTOauthScopesDescriptor::decrypt({"onlyAccount", "onlyAddress:read"}),
            (Strings{"Accounts data (Read Only)", "Address data  (Read Only)"}));
  // The user node's own "read" leaf.
  EXPECT_EQ(ZTOauthScopesDescriptor::decrypt({"user:read"}), Strings{"Read user information"});
}

TEST(ScopeDescriptor, DocumentSubTrees) {
  EXPECT_EQ(
      ZTOauthScopesDescriptor::decrypt({"documents:all:data:write", "documents:all:data:read",
                                        "documents:all:read", "documents:all:image:read",
                                        "documents:all:status:read", "documents:all:status:write"}),
      (Strings{"Edit documents content", "View documents content", "View all documents",
               "View documents images", "See documents status", "Edit documents status"}));
  EXPECT_EQ(ZTOauthScopesDescriptor::decrypt(
                {"documents:read:image", "documents:read:status", "documents:read:data"}),
            (Strings{"Read image", "Read status", "Read data"}));
  EXPECT_EQ(
      ZTOauthScopesDescriptor::decrypt({"documents:passport:read", "documents:proof_address:read",
                                        "documents:driver_license:read", "documents:id_card:read"}),
      (Strings{"Read passport", "Read proof of address", "Read driver license", "Read ID card"}));
}
