#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ZentrelSDK {

// Opens the consent card for the OAuth flow. Main thread only.
class ZTModalScopesRequestPresenter {
 public:
  static const std::shared_ptr<ZTModalScopesRequestPresenter>& shared();

  // Presents the card for the raw requested `scopes` over the topmost view controller,
  // animated, over the current context with a cross dissolve. `completion` gets true for
  // allow and false for cancel, once, after the card has gone; without a topmost controller
  // it gets false on a later turn of the main queue, so the flow ends instead of waiting.
  void showModal(const std::vector<std::string>& scopes, std::function<void(bool)> completion);

  ZTModalScopesRequestPresenter() = default;
};

}  // namespace ZentrelSDK
