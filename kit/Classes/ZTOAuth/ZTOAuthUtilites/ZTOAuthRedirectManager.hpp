#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <Foundation/URLSessionDelegate.hpp>

#include "ZTOAuth/ZTOAuthRedirectListener.hpp"

namespace ZentrelSDK {

// The shared session's delegate while the OAuth core exists: it turns each redirect into the
// current step's event and refuses to follow it, so the redirected request ends with the 3xx
// answer and never reaches the redirect target.
class ZTOAuthRedirectManager : public ZTOAuthRedirectListener,
                               public std::enable_shared_from_this<ZTOAuthRedirectManager> {
 public:
  ZTOAuthRedirectManager() = default;
  ~ZTOAuthRedirectManager() override;

  void updateOauthStep(ZTOAuthStep step) override;
  void beginListeninngForRedirections() override;
  void stopListeningForRedirections() override;

  // The `state` a code redirect must carry; absent while no authorization is under way.
  void expectState(std::optional<std::string> state);

  void willPerformHTTPRedirection(
      const std::shared_ptr<Foundation::URLSession>& session,
      const std::shared_ptr<Foundation::URLSessionTask>& task,
      const std::shared_ptr<Foundation::HTTPURLResponse>& response,
      const Foundation::URLRequest& newRequest,
      std::function<void(std::optional<Foundation::URLRequest>)> completionHandler) override;

 private:
  // Set on the main queue, read on the session's delegate queue.
  std::atomic<ZTOAuthStep> step{ZTOAuthStep::login};
  std::mutex stateMutex;
  std::optional<std::string> expectedState;
};

}  // namespace ZentrelSDK
