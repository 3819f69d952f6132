// What the card tests share: the seeded app's scopes with the rows the consent card shows
// for them, and the outcome of a host's data request.
#pragma once

#include <memory>
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

// What the host's data request ends with, kept as long as its callbacks live.
struct Reply {
  struct Heard {
    std::optional<ZentrelSDK::ZTUserDataResponse> user;
    std::optional<ZentrelSDK::ZTOAuthError> error;
    int answers = 0;
  };
  std::shared_ptr<Heard> heard = std::make_shared<Heard>();
  std::optional<ZentrelSDK::ZTUserDataResponse>& user = heard->user;
  std::optional<ZentrelSDK::ZTOAuthError>& error = heard->error;
  int& answers = heard->answers;
  void request() {
    ZentrelSDK::ZTUserManager::request<ZentrelSDK::ZTUserDataResponse>(
        ZentrelSDK::ZTPublicConstants::getUserEndpoint(),
        [heard = heard](ZentrelSDK::ZTUserDataResponse answer) {
          heard->user = std::move(answer);
          ++heard->answers;
        },
        [heard = heard](ZentrelSDK::ZTOAuthError answer) {
          heard->error = std::move(answer);
          ++heard->answers;
        });
  }
};

}  // namespace cardstest
