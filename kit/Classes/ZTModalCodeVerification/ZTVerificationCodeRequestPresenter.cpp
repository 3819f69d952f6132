#include "ZTModalCodeVerification/ZTVerificationCodeRequestPresenter.hpp"

#include <Dispatch/DispatchQueue.hpp>
#include <UIKit/UIModalPresentationStyle.hpp>

#include "ZTExtensions/ZTUIApplication.hpp"
#include "ZTModalCodeVerification/ZTModalCodeVerificationViewController.hpp"
#include "ZTModalCodeVerification/ZTModalVerificationViewModel.hpp"
#include "ZTModalCodeVerification/ZTValidationError.hpp"

namespace ZentrelSDK {

const std::shared_ptr<ZTVerificationCodeRequestPresenter>&
ZTVerificationCodeRequestPresenter::shared() {
  static const auto instance = std::make_shared<ZTVerificationCodeRequestPresenter>();
  return instance;
}

void ZTVerificationCodeRequestPresenter::sendVerificationCodeAndShowModal(
    ZTModalVerificationModel::Completion completion) {
  const auto refuse = [](ZTModalVerificationModel::Completion completion) {
    if (!completion) return;
    Dispatch::DispatchQueue::main().async(
        [completion] { completion(Foundation::failure(Error(ZTValidationError::cancelled()))); });
  };
  auto top = ZTUIApplication::topViewController();
  if (!top) return refuse(std::move(completion));
  auto viewModel = std::make_shared<ZTModalVerificationViewModel>(completion);
  auto card = std::make_shared<ZTModalCodeVerificationViewController>(viewModel);
  card->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
  card->setModalTransitionStyle(UIKit::UIModalTransitionStyle::crossDissolve);
  // A presentation the platform refuses (the top controller is mid-transition) shows nothing;
  // the card, let go, answers with a cancel through its view model.
  ZTUIApplication::present(*top, card, true);
}

}  // namespace ZentrelSDK
