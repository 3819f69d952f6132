#include "ZTModalCodeVerification/ZTModalCodeVerificationViewController.hpp"

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/Bundle.hpp>
#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/UITapGestureRecognizer.hpp>

#include "ZTLogger.hpp"
#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTVerificationCodeViewModel.hpp"
#include "ZTUIComponents/ZTWindowWatcher.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

ZTModalCodeVerificationViewController::ZTModalCodeVerificationViewController(
    std::shared_ptr<ZTModalVerificationModel> viewModel)
    : UIViewController("ZTModalCodeVerificationViewController",
                       Foundation::Bundle::forIdentifier(ZTConstants::BundleID)),
      viewModel_(std::move(viewModel)) {
  if (!viewModel_) ZTLogger::errorLog("ZTModalCodeVerificationViewController needs a view model");
}

void ZTModalCodeVerificationViewController::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("transparentView", transparentView);
  binder.outlet("modalView", modalView);
  binder.outlet("titleLabel", titleLabel);
  binder.outlet("verificationView", verificationView);
  binder.outlet("confirmButton", confirmButton);
  binder.action("cancelAction:", [this](UIKit::UIControl& sender) { cancelAction(sender); });
  binder.action("confirmAction:", [this](UIKit::UIControl& sender) { confirmAction(sender); });
}

void ZTModalCodeVerificationViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  addCancelTapGesture();
  if (viewModel_) viewModel_->setDelegate(weakAs<ZTModalCodeVerificationViewController>());
  configureViews();
  // Gone unanswered (the host took it away with its window's root): as a cancel.
  ZTWindowWatcher::watch(sharedAs<ZTModalCodeVerificationViewController>(),
                         [weak = weakAs<ZTModalCodeVerificationViewController>()] {
                           auto self = weak.lock();
                           if (!self) return;
                           self->gone_ = true;
                           if (self->viewModel_) self->viewModel_->cancel();
                         });
}

void ZTModalCodeVerificationViewController::addCancelTapGesture() {
  auto area = transparentView.lock();
  if (!area) return;
  auto tap = std::make_shared<UIKit::UITapGestureRecognizer>();
  tap->addTarget(sharedAs<ZTModalCodeVerificationViewController>(),
                 &ZTModalCodeVerificationViewController::closePopover);
  // The views beneath still get their touches.
  tap->setCancelsTouchesInView(false);
  area->addGestureRecognizer(tap);
}

void ZTModalCodeVerificationViewController::configureViews() {
  setOverrideUserInterfaceStyle(UIKit::UIUserInterfaceStyle::light);
  if (auto card = modalView.lock()) card->layer()->cornerRadius = 12;
  // Its answers may come while the card is still coming in: the loader and the error alert
  // wait for that to end.
  auto model = ZTVerificationCodeViewModel::make(weakAs<ZTModalCodeVerificationViewController>());
  model->addActionOnAuthTypeChanging([weak = weakAs<ZTModalCodeVerificationViewController>()] {
    if (auto self = weak.lock()) self->changeHeaderWithNewAuthType();
  });
  if (auto view = verificationView.lock()) view->injectModel(model);
  verificationModel_ = model;
  if (auto button = confirmButton.lock()) {
    button->layer()->cornerRadius = 4;
    button->setEnabled(false);
  }
}

void ZTModalCodeVerificationViewController::changeHeaderWithNewAuthType() {
  auto model = verificationModel_.lock();
  if (!model) {
    ZTLogger::errorLog("can't get auth type!");
    return;
  }
  std::string header = "Verify with email";
  if (model->authType() == AuthType::otp) header = "Verify with OTP";
  if (model->authType() == AuthType::sms) header = "Verify with SMS";
  Dispatch::DispatchQueue::main().async(
      [weak = weakAs<ZTModalCodeVerificationViewController>(), header] {
        auto self = weak.lock();
        if (!self) return;
        if (auto label = self->titleLabel.lock()) label->setText(header);
      });
}

void ZTModalCodeVerificationViewController::closePopover() {
  userAnswered_ = true;
  if (viewModel_) viewModel_->cancel();
}

void ZTModalCodeVerificationViewController::cancelAction(UIKit::UIControl& /*sender*/) {
  closePopover();
}

void ZTModalCodeVerificationViewController::confirmAction(UIKit::UIControl& /*sender*/) {
  userAnswered_ = true;
  if (viewModel_) viewModel_->submit(verificationCode_);
}

void ZTModalCodeVerificationViewController::didChangedVerificationCode(const std::string& code,
                                                                       bool finished) {
  verificationCode_ = code;
  setupConfirmButton(finished);
}

void ZTModalCodeVerificationViewController::setupConfirmButton(bool codeIsComplete) {
  auto button = confirmButton.lock();
  if (!button) return;
  button->setBackgroundImage(
      codeIsComplete ? ZTImageFromLib::makeLibraryImage("buttonBackground") : nullptr,
      UIKit::UIButton::State::normal);
  button->setEnabled(codeIsComplete);
}

void ZTModalCodeVerificationViewController::closeModal(std::function<void()> completion) {
  // Gone, it is taken off by its watcher: a dismissal from here would close a screen the host
  // put over it.
  if (gone_) {
    if (completion) Dispatch::DispatchQueue::main().async(std::move(completion));
    return;
  }
  setModalTransitionStyle(UIKit::UIModalTransitionStyle::crossDissolve);
  dismiss(true, std::move(completion));
}

}  // namespace ZentrelSDK
