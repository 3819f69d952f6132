#pragma once

#include <Foundation/URLSessionDelegate.hpp>

namespace ZentrelSDK {

// Which parameter the redirect listener reads from the next redirect URL.
enum class ZTOAuthStep { login, consent, code };

// A URL-session task delegate that the network core installs on its shared session, so that
// it is offered every HTTP redirect of the kit's ordinary requests.
class ZTOAuthRedirectListener : public virtual Foundation::URLSessionTaskDelegate {
 public:
  virtual void updateOauthStep(ZTOAuthStep step) = 0;
  virtual void beginListeninngForRedirections() = 0;
  virtual void stopListeningForRedirections() = 0;
};

}  // namespace ZentrelSDK
