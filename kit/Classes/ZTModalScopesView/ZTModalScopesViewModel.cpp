#include "ZTModalScopesView/ZTModalScopesViewModel.hpp"

#include <Dispatch/DispatchQueue.hpp>

#include "ZTModalScopesView/ZTScopesDescription/ZTOauthScopesDescriptor.hpp"

namespace ZentrelSDK {

ZTModalScopesViewModel::ZTModalScopesViewModel(std::function<void(bool)> finalCompletion,
                                               const std::vector<std::string>& currentScopes)
    : finalCompletion_(std::move(finalCompletion)) {
  for (const auto& scope : currentScopes) {
    auto described = ZTOauthScopesDescriptor::decrypt({scope});
    // A scope the catalogue does not know is granted all the same, so the user sees it too.
    scopes.push_back(described.empty() ? scope : described.front());
  }
}

ZTModalScopesViewModel::~ZTModalScopesViewModel() {
  if (answered_ || !finalCompletion_) return;
  Dispatch::DispatchQueue::main().async(
      [completion = std::move(finalCompletion_)] { completion(false); });
}

void ZTModalScopesViewModel::allow(bool allowed) {
  answered_ = true;
  if (finalCompletion_) finalCompletion_(allowed);
}

}  // namespace ZentrelSDK
