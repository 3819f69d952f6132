#include "ZTUserManager.hpp"

#include <utility>

#include "ZTOAuth/ZTOAuthCore.hpp"

namespace ZentrelSDK {

void ZTUserManager::givePermissions(std::function<void(bool)> completion) {
  ZTOAuthCore::shared()->givePermissions(std::move(completion));
}

}  // namespace ZentrelSDK
