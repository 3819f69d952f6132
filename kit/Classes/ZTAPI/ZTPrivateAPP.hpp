#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ZTAPI/ResponceDataModel/ZTError.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// The document types the host app requires, asked of the identity server with the session
// token.
class ZTPrivateAPP {
 public:
  using DocumentTypes = std::vector<ZTPublicConstants::DocumentType>;

  ZTPrivateAPP() = default;

  // `appId` travels escaped as one path segment. A 200 hands on the list, or nullopt for a
  // JSON null; every failure is a ZTOAuthError (code 0 when no status applies) and a 401
  // clears nothing. One callback, once, on the main queue (at once on the calling thread for
  // an appId that is empty, "." or "..").
  static void getAPPDockScopes(const std::string& appId, bool clearCookie,
                               std::function<void(std::optional<DocumentTypes>)> success,
                               std::function<void(ZTOAuthError)> errorEvent);
};

}  // namespace ZentrelSDK
