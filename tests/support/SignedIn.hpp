// The kit holding a sandbox user's tokens.
#pragma once

#include <string>

#include <sandbox/Sandbox.hpp>

#include "ZTTokenUtilites.hpp"

namespace zttest {

// Any earlier tokens go; the kit then holds `user`'s session and `app`'s access token for them.
inline void signInWithGrant(sandbox::Sandbox& sb, const std::string& user, const std::string& app) {
  auto tokens = ZentrelSDK::ZTTokenUtilites::shared();
  tokens->clearTokens();
  tokens->saveToken(sb.signIn(user), /*base64=*/false);
  tokens->saveOAuthToken(sb.grant(user, app));
}

}  // namespace zttest
