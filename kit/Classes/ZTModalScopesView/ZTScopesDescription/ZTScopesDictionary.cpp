#include "ZTModalScopesView/ZTScopesDescription/ZTScopesDictionary.hpp"

namespace ZentrelSDK {

namespace {

const nlohmann::json& userScopesDictionary() {
  static const nlohmann::json dictionary = {
      {"read", "Read user information"},
      {"address", "Read address"},
      {"email", "Read email"},
      {"phone", "Read phone number"},
      {"data", "Read user personal info"},
  };
  return dictionary;
}

const nlohmann::json& documentsScopesDictionary() {
  static const nlohmann::json dictionary = {
      {"read",
       {
           {"status", "Read status"},
           {"data", "Read data"},
           {"image", "Read image"},
       }},
      {"all",
       {
           {"read", "View all documents"},
           {"data",
            {
                {"read", "View documents content"},
                {"write", "Edit documents content"},
            }},
           {"image", "View documents images"},
           {"status",
            {
                {"read", "See documents status"},
                {"write", "Edit documents status"},
            }},
       }},
      {"passport",
       {
           {"read", "Read passport"},
           {"status", "Read passport status"},
           {"data", "Read passport content"},
           {"image", "Read passport image"},
       }},
      {"proof_address",
       {
           {"read", "Read proof of address"},
           {"status", "Read proof of address status"},
           {"data", "Read proof of address data"},
           {"image", "Read proof of address image"},
       }},
      {"driver_license",
       {
           {"read", "Read driver license"},
           {"status", "Read driver license status"},
           {"data", "Read driver license data"},
           {"image", "Read driver license image"},
       }},
      {"id_card",
       {
           {"read", "Read ID card"},
           {"status", "Read ID card status"},
           {"data", "Read ID card data"},
           {"image", "Read ID card image"},
       }},
  };
  return dictionary;
}

}  // namespace

const nlohmann::json& scopesDictionary() {
  static const nlohmann::json dictionary = {
      {"wallet", "Read information about wallet"},  {"onlyAccount", "Accounts data (Read Only)"},
      {"onlyAddress", "Address data  (Read Only)"}, {"user", userScopesDictionary()},
      {"documents", documentsScopesDictionary()},
  };
  return dictionary;
}

}  // namespace ZentrelSDK
