#include "ZTUIComponents/ZTVerificationCode/ZTTooManyRequestsTimer/ZTWaitVerificationTimerViewController.hpp"

#include <string>

#include <Foundation/Bundle.hpp>
#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/UIView.hpp>

#include "ZTLogger.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

ZTWaitVerificationTimerViewController::ZTWaitVerificationTimerViewController(
    std::shared_ptr<ZTVerificationTimerBlock> viewModel)
    : UIViewController("ZTWaitVerificationTimerViewController",
                       Foundation::Bundle::forIdentifier(ZTConstants::BundleID)),
      viewModel(std::move(viewModel)) {
  if (!this->viewModel)
    ZTLogger::errorLog("ZTWaitVerificationTimerViewController needs a countdown");
}

void ZTWaitVerificationTimerViewController::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("titleLabel", titleLabel);
  binder.outlet("infoLabel", infoLabel);
  binder.outlet("timerLabel", timerLabel);
}

void ZTWaitVerificationTimerViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  if (!viewModel) return;
  if (auto label = timerLabel.lock()) label->setText(std::to_string(viewModel->timeLimit()));
  viewModel->setupDelegate(weakAs<ZTWaitVerificationTimerViewController>());
}

void ZTWaitVerificationTimerViewController::viewWillAppear(bool animated) {
  UIViewController::viewWillAppear(animated);
  if (viewModel) viewModel->fireTimer();
}

void ZTWaitVerificationTimerViewController::updateTimerLabel() {
  UIKit::UIView::animate(0.2, [weak = weakAs<ZTWaitVerificationTimerViewController>()] {
    auto self = weak.lock();
    if (!self) return;
    if (auto label = self->timerLabel.lock())
      label->setText(std::to_string(self->viewModel->timeLimit()));
  });
}

}  // namespace ZentrelSDK
