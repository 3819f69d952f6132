#include "ZTAuth/ChangePassword/ZTChangePasswordViewController.hpp"

#include <utility>

#include <Foundation/Bundle.hpp>
#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/UINavigationController.hpp>
#include <UIKit/UITapGestureRecognizer.hpp>

#include "ZTLogger.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTTooManyRequestsTimer/ZTWaitVerificationTimerViewController.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

ZTChangePasswordViewController::ZTChangePasswordViewController(
    std::shared_ptr<ZTChangePasswordModel> viewModel)
    : UIViewController("ZTChangePasswordViewController",
                       Foundation::Bundle::forIdentifier(ZTConstants::BundleID)),
      viewModel(std::move(viewModel)) {
  if (!this->viewModel) ZTLogger::errorLog("ZTChangePasswordViewController needs a view model");
}

void ZTChangePasswordViewController::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("passwordTextView", passwordTextView);
  binder.outlet("repeatPasswordTextView", repeatPasswordTextView);
  binder.outlet("verificationView", verificationView);
  binder.outlet("continueButton", continueButton);
  binder.outlet("dismissButton", dismissButton);
  binder.action("continueAction:", [this](UIKit::UIControl& sender) { continueAction(sender); });
  binder.action("dismissAction:", [this](UIKit::UIControl& sender) { dismissAction(sender); });
}

void ZTChangePasswordViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  if (viewModel) {
    viewModel->setupDelegate(weakAs<ZTChangePasswordViewController>());
    viewModel->setupVerification(verificationView.lock());
  }
  addTapForDissmissKeyboard();
  configureViews();
  setupContinueButton(false);
  addActionsOnTextFields();
}

void ZTChangePasswordViewController::addTapForDissmissKeyboard() {
  auto tap = std::make_shared<UIKit::UITapGestureRecognizer>();
  tap->addTarget(sharedAs<ZTChangePasswordViewController>(),
                 &ZTChangePasswordViewController::dismissKeyboard);
  tap->setCancelsTouchesInView(false);
  view()->addGestureRecognizer(tap);
}

void ZTChangePasswordViewController::configureViews() {
  auto password = passwordTextView.lock();
  auto repeat = repeatPasswordTextView.lock();
  if (password) {
    password->configureTextField(UIKit::UIKeyboardType::defaultType, "Enter a unique password",
                                 true);
    password->addNextTextField(repeat);
  }
  if (repeat)
    repeat->configureTextField(UIKit::UIKeyboardType::defaultType, "Repeat this password", true);
  if (auto button = continueButton.lock()) button->layer()->cornerRadius = 5;
  setOverrideUserInterfaceStyle(UIKit::UIUserInterfaceStyle::light);
}

void ZTChangePasswordViewController::addActionsOnTextFields() {
  auto check = [weak = weakAs<ZTChangePasswordViewController>()] {
    if (auto self = weak.lock()) self->checkFields();
  };
  if (auto password = passwordTextView.lock()) password->addCallbackOnEnding(check);
  if (auto repeat = repeatPasswordTextView.lock()) repeat->addCallbackOnEnding(check);
}

void ZTChangePasswordViewController::continueAction(UIKit::UIControl& /*sender*/) {
  auto password = passwordTextView.lock();
  if (!password || !password->text || !viewModel) return;
  // The fields may have changed since the last check: an unconfirmed password is never sent.
  if (!checkFields()) return;
  viewModel->changePassword(*password->text, enteredVerificationCode);
}

void ZTChangePasswordViewController::dismissAction(UIKit::UIControl& /*sender*/) {
  dismiss(true);
}

bool ZTChangePasswordViewController::checkFields() {
  auto password = passwordTextView.lock();
  auto repeat = repeatPasswordTextView.lock();
  const bool valid = viewModel && password && repeat &&
                     viewModel->validatePasswords(password->text, repeat->text) &&
                     viewModel->validateVerificationCode(enteredVerificationCode);
  setupContinueButton(valid);
  return valid;
}

void ZTChangePasswordViewController::setupContinueButton(bool enabled) {
  if (auto button = continueButton.lock()) button->setEnabled(enabled);
}

void ZTChangePasswordViewController::dismissKeyboard() {
  view()->endEditing(true);
}

void ZTChangePasswordViewController::didChangeCodeSuccessfully() {
  if (auto navigation = navigationController()) {
    navigation->popViewController(true);
  } else {
    dismiss(true);
  }
}

void ZTChangePasswordViewController::didGetError(const std::string& error) {
  if (auto code = verificationView.lock()) code->clearCode();
  enteredVerificationCode.clear();
  checkFields();
  ZTUIUtilites::shared()->errorAlert(error);
}

void ZTChangePasswordViewController::didChangedVerificationCode(const std::string& code,
                                                                bool /*finished*/) {
  enteredVerificationCode = code;
  checkFields();
}

void ZTChangePasswordViewController::addVerificationTimerView(
    const std::shared_ptr<ZTVerificationTimerBlock>& with) {
  auto code = verificationView.lock();
  auto wait = std::make_shared<ZTWaitVerificationTimerViewController>(with);
  addChild(wait);  // tells the wait screen it will move here
  auto waitView = wait->view();
  if (code) waitView->setFrame(code->frame());
  waitView->setAlpha(0);
  view()->addSubview(waitView);
  wait->didMove(this);
  UIKit::UIView::animate(0.3, [waitView, code] {
    waitView->setAlpha(1);
    if (code) code->setAlpha(0.01);
  });
}

void ZTChangePasswordViewController::removeVerificationTimerView() {
  std::shared_ptr<ZTWaitVerificationTimerViewController> wait;
  for (const auto& child : children()) {
    wait = std::dynamic_pointer_cast<ZTWaitVerificationTimerViewController>(child);
    if (wait) break;
  }
  if (!wait) return;
  wait->willMove(nullptr);
  wait->view()->removeFromSuperview();
  wait->removeFromParent();
  UIKit::UIView::animate(0.3, [weak = weakAs<ZTChangePasswordViewController>()] {
    auto self = weak.lock();
    if (!self) return;
    if (auto code = self->verificationView.lock()) code->setAlpha(1);
  });
}

}  // namespace ZentrelSDK
