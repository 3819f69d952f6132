#include "ZTModalScopesView/ZTModalScopesRequestPresenter.hpp"

#include <Dispatch/DispatchQueue.hpp>
#include <UIKit/UIModalPresentationStyle.hpp>

#include "ZTExtensions/ZTUIApplication.hpp"
#include "ZTModalScopesView/ZTModalScopesViewController.hpp"
#include "ZTModalScopesView/ZTModalScopesViewModel.hpp"

namespace ZentrelSDK {

const std::shared_ptr<ZTModalScopesRequestPresenter>& ZTModalScopesRequestPresenter::shared() {
  static const auto instance = std::make_shared<ZTModalScopesRequestPresenter>();
  return instance;
}

void ZTModalScopesRequestPresenter::showModal(const std::vector<std::string>& scopes,
                                              std::function<void(bool)> completion) {
  const auto refuse = [](std::function<void(bool)> completion) {
    if (completion) Dispatch::DispatchQueue::main().async([completion] { completion(false); });
  };
  auto top = ZTUIApplication::topViewController();
  if (!top) return refuse(std::move(completion));
  auto viewModel = std::make_shared<ZTModalScopesViewModel>(completion, scopes);
  auto card = std::make_shared<ZTModalScopesViewController>(viewModel);
  card->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
  card->setModalTransitionStyle(UIKit::UIModalTransitionStyle::crossDissolve);
  // A presentation the platform refuses (the top controller is mid-transition) shows nothing;
  // the card, let go, answers no through its view model.
  ZTUIApplication::present(*top, card, true);
}

}  // namespace ZentrelSDK
