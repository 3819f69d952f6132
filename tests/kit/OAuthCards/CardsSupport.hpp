// What the card tests share: the seeded app's scopes with the rows the consent card shows
// for them, and the outcome of a host's data request.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ZTAPI/ResponceDataModel/User/ZTUserDataResponse.hpp"
#include "ZTUserManager.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

namespace cardstest {

inline const std::vector<std::string> kSeedScopes{"user:email:read", "user:data:read",
                                                  "documents:passport:status:read"};
inline const std::vector<std::string> kSeedRows{"Read email", "Read user personal info",
                                                "Read passport status"};

// What the host's data request ends with.
struct Reply {
  std::optional<ZentrelSDK::ZTUserDataResponse> user;
  std::optional<ZentrelSDK::ZTOAuthError> error;
  int answers = 0;
  void request() {
    ZentrelSDK::ZTUserManager::request<ZentrelSDK::ZTUserDataResponse>(
        ZentrelSDK::ZTPublicConstants::getUserEndpoint(),
        [this](ZentrelSDK::ZTUserDataResponse answer) {
          user = std::move(answer);
          ++answers;
        },
        [this](ZentrelSDK::ZTOAuthError answer) {
          error = std::move(answer);
          ++answers;
        });
  }
};

}  // namespace cardstest
