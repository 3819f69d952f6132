#include "ZTAuth/Login/ZTLoginViewController.hpp"

#include <any>
#include <utility>

#include <Dispatch/DispatchQueue.hpp>
#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/NSMutableAttributedString.hpp>
#include <UIKit/UIKeyboard.hpp>
#include <UIKit/UITapGestureRecognizer.hpp>

#include "ZTAuth/ChangePassword/ZTChangePasswordViewController.hpp"
#include "ZTAuth/ChangePassword/ZTChangePasswordViewModel.hpp"
#include "ZTAuth/Login/ZTLoginViewModel.hpp"
#include "ZTExtensions/ZTUIApplication.hpp"
#include "ZTUIComponents/PresentLikePush/ZTTransitionClasses.hpp"
#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

using UIKit::NSAttributedString;
using UIKit::UIFont;

std::shared_ptr<ZTLoginViewController> ZTLoginViewController::make(
    std::optional<std::string> nibName, std::shared_ptr<Foundation::Bundle> bundle) {
  if (!bundle) bundle = Foundation::Bundle::forIdentifier(ZTConstants::BundleID);
  auto controller =
      std::make_shared<ZTLoginViewController>(Token{}, std::move(nibName), std::move(bundle));
  controller->loginViewModel = ZTLoginViewModel::make(controller);
  return controller;
}

ZTLoginViewController::ZTLoginViewController(Token, std::optional<std::string> nibName,
                                             std::shared_ptr<Foundation::Bundle> bundle)
    : UIViewController(std::move(nibName), std::move(bundle)) {}

ZTLoginViewController::~ZTLoginViewController() {
  for (const auto& observer : keyboardObservers)
    Foundation::NotificationCenter::defaultCenter().removeObserver(observer);
}

void ZTLoginViewController::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("scrollView", scrollView);
  binder.outlet("enterWithBioView", enterWithBioView);
  binder.outlet("greetingLabel", greetingLabel);
  binder.outlet("bioTypeLabel", bioTypeLabel);
  binder.outlet("bioEnterButton", bioEnterButton);
  binder.outlet("enterWithEmailAndPassView", enterWithEmailAndPassView);
  binder.outlet("greetingLabelOnEmailAndPass", greetingLabelOnEmailAndPass);
  binder.outlet("emailTextField", emailTextField);
  binder.outlet("passwordTextField", passwordTextField);
  binder.outlet("verificationCodeView", verificationCodeView);
  binder.outlet("continueButton", continueButton);
  binder.outlet("forgotPassButton", forgotPassButton);
  binder.outlet("continueToEmailConstraint", continueToEmailConstraint);
  binder.outlet("continueToForgotButtonConstraint", continueToForgotButtonConstraint);
  binder.outlet("continueToVerifyCodeConstraint", continueToVerifyCodeConstraint);
  binder.action("authWithBioAction:", [this](UIKit::UIControl& s) { authWithBioAction(s); });
  binder.action("goToEnterEmail:", [this](UIKit::UIControl& s) { goToEnterEmail(s); });
  binder.action("goToNextStep:", [this](UIKit::UIControl& s) { goToNextStep(s); });
  binder.action("showResetButonView:", [this](UIKit::UIControl& s) { showResetButonView(s); });
}

void ZTLoginViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  setupGreetingLabels();
  addTapForDissmissKeyboard();
  configureViews();
  addActionsOnTextFieldChanges();
  updateContinueConstraints();
  addKeyboardNotifications();
  // A step the model reached before the views existed (no biometry) is shown now.
  if (loginViewModel && loginViewModel->loginStep() != ZTLoginStep::signInWithBioAuth)
    showStep(loginViewModel->loginStep());
}

void ZTLoginViewController::setupGreetingLabels() {
  UIKit::NSMutableAttributedString greeting(
      "Welcome back,\nsign in to continue ",
      {{NSAttributedString::Key::font, UIFont::systemFont(32, UIFont::Weight::light)},
       {NSAttributedString::Key::foregroundColor,
        UIKit::UIColor(17 / 255.0, 22 / 255.0, 26 / 255.0, 1)},
       {NSAttributedString::Key::kern, 0.75}});
  greeting.addAttributes(
      {{NSAttributedString::Key::font, UIFont::systemFont(32, UIFont::Weight::bold)},
       {NSAttributedString::Key::kern, -0.5}},
      UIKit::NSRange{0, 13});
  if (auto label = greetingLabel.lock()) label->setAttributedText(greeting);
  if (auto label = greetingLabelOnEmailAndPass.lock()) label->setAttributedText(greeting);
}

void ZTLoginViewController::addTapForDissmissKeyboard() {
  auto form = enterWithEmailAndPassView.lock();
  if (!form) return;
  auto tap = std::make_shared<UIKit::UITapGestureRecognizer>();
  tap->addTarget(sharedAs<ZTLoginViewController>(), &ZTLoginViewController::dismissKeyboard);
  tap->setCancelsTouchesInView(false);
  form->addGestureRecognizer(tap);
}

void ZTLoginViewController::configureViews() {
  const auto imageName = loginViewModel ? loginViewModel->getBioLoginImageName() : "touchId";
  if (auto image = ZTImageFromLib::makeLibraryImage(imageName)) {
    if (auto button = bioEnterButton.lock())
      button->setImage(image, UIKit::UIButton::State::normal);
  }
  if (auto button = continueButton.lock()) {
    button->setBackgroundColor(UIKit::UIColor(221 / 255.0, 217 / 255.0, 227 / 255.0, 1));
    button->layer()->cornerRadius = 5;
  }
  setOverrideUserInterfaceStyle(UIKit::UIUserInterfaceStyle::light);
  // Nothing has been typed yet: there is nothing to continue with.
  setupContinueButton(false);
}

void ZTLoginViewController::addActionsOnTextFieldChanges() {
  auto email = emailTextField.lock();
  auto password = passwordTextField.lock();
  auto weak = weakAs<ZTLoginViewController>();
  if (email) {
    email->configureTextField(UIKit::UIKeyboardType::emailAddress, "Enter your email address");
    if (password) email->addNextTextField(password->textField.lock());
    email->addCallbackOnEnding([weak] {
      auto self = weak.lock();
      if (!self) return;
      if (self->checkEmail()) {
        self->updateEmailIfNeeded();
        self->continueIfNeeded(ZTLoginStep::enteringPassword);
      } else {
        self->dismissKeyboard();
      }
    });
    email->addCallbackEditingNotEmpty([weak](bool) {
      if (auto self = weak.lock()) self->setupContinueButton(self->checkEmail());
    });
  }
  if (password) {
    password->configureTextField(UIKit::UIKeyboardType::asciiCapable, "Password", true);
    password->addCallbackOnEnding([weak] {
      auto self = weak.lock();
      if (self && self->checkPassword())
        self->continueIfNeeded(ZTLoginStep::enteringVerificationCode);
    });
    password->addCallbackEditingNotEmpty([weak](bool) {
      if (auto self = weak.lock()) self->setupContinueButton(self->checkPassword());
    });
  }
}

void ZTLoginViewController::addKeyboardNotifications() {
  auto& center = Foundation::NotificationCenter::defaultCenter();
  auto weak = weakAs<ZTLoginViewController>();
  // Removed when the screen goes: a notification never reaches a released screen.
  keyboardObservers.push_back(
      center.addObserver(UIKit::UIKeyboardWillShowNotification, std::nullopt, nullptr,
                         [weak](const Foundation::Notification& notification) {
                           if (auto self = weak.lock()) self->keyboardWillShow(notification);
                         }));
  keyboardObservers.push_back(
      center.addObserver(UIKit::UIKeyboardWillHideNotification, std::nullopt, nullptr,
                         [weak](const Foundation::Notification& notification) {
                           if (auto self = weak.lock()) self->hideKeyboard(notification);
                         }));
}

void ZTLoginViewController::keyboardWillShow(const Foundation::Notification& notification) {
  if (notification.userInfo) {
    auto it = notification.userInfo->find(UIKit::UIKeyboardFrameEndUserInfoKey);
    if (it != notification.userInfo->end()) {
      if (const auto* frame = std::any_cast<UIKit::CGRect>(&it->second))
        keyboardHeight = view()->convertFrom(*frame, nullptr).height();
    }
  }
  moveContentUp();
}

void ZTLoginViewController::hideKeyboard(const Foundation::Notification& /*notification*/) {
  keyboardHeight = 0;
  moveContentUp();
}

void ZTLoginViewController::moveContentUp() {
  auto scroll = scrollView.lock();
  if (!scroll || !loginViewModel) return;
  const UIKit::CGFloat base = keyboardHeight > 0 ? keyboardHeight + 20 : 0;
  const auto step = loginViewModel->loginStep();
  auto focused = [](const std::shared_ptr<ZTTextFieldView>& field) {
    auto inner = field ? field->textField.lock() : nullptr;
    return inner && inner->isFirstResponder();
  };
  auto email = emailTextField.lock();
  auto password = passwordTextField.lock();
  auto code = verificationCodeView.lock();
  UIKit::CGFloat bottom = base;
  if ((step == ZTLoginStep::enteringEmail && checkEmail()) || focused(email)) {
    bottom = base + (email ? email->frame().minY() / 2 : 0);
  } else if (step == ZTLoginStep::enteringPassword || focused(password)) {
    bottom = base + (password ? password->frame().minY() / 2 : 0);
  } else if (step == ZTLoginStep::enteringVerificationCode) {
    bottom = base + (code ? code->frame().minY() / 4 : 0);
  }
  UIKit::UIView::animate(0.3, [weak = scrollView, bottom] {
    auto view = weak.lock();
    if (!view) return;
    auto inset = view->contentInset();
    inset.bottom = bottom;
    view->setContentInset(inset);
  });
}

void ZTLoginViewController::authWithBioAction(UIKit::UIControl& /*sender*/) {
  if (loginViewModel) loginViewModel->bioLogIn();
}

void ZTLoginViewController::goToEnterEmail(UIKit::UIControl& /*sender*/) {
  if (loginViewModel) loginViewModel->goToNextStep();
}

void ZTLoginViewController::goToNextStep(UIKit::UIControl& /*sender*/) {
  if (loginViewModel) loginViewModel->goToNextStep();
}

void ZTLoginViewController::showResetButonView(UIKit::UIControl& /*sender*/) {
  auto email = emailTextField.lock();
  const auto text = email ? email->text : std::nullopt;
  if (!text || !loginViewModel || !loginViewModel->emailIsValid(*text)) {
    ZTUIUtilites::shared()->errorAlert("enter correct email!");
    return;
  }
  auto model = std::make_shared<ZTChangePasswordViewModel>(*text);
  // After the tap has been handled.
  Dispatch::DispatchQueue::main().async([self = sharedAs<ZTLoginViewController>(), model] {
    auto screen = std::make_shared<ZTChangePasswordViewController>(model);
    screen->setModalPresentationStyle(UIKit::UIModalPresentationStyle::custom);
    screen->setTransitioningDelegate(
        std::weak_ptr<UIKit::UIViewControllerTransitioningDelegate>(self));
    ZTUIApplication::present(*self, screen, true);
  });
}

void ZTLoginViewController::showStep(ZTLoginStep step) {
  // Before the views exist the model keeps the step; viewDidLoad shows it.
  if (!isViewLoaded()) return;
  UIKit::UIView::animate(0.5, [self = sharedAs<ZTLoginViewController>(), step] {
    switch (step) {
      case ZTLoginStep::enteringEmail:
        self->hideSignInWithBio();
        break;
      case ZTLoginStep::enteringPassword:
        self->updateVerificationProcess();
        self->showPasswordView();
        break;
      case ZTLoginStep::enteringVerificationCode:
        self->showVerificationView();
        break;
      case ZTLoginStep::signInWithBioAuth:
        self->showSignInWithBio();
        break;
    }
  });
}

void ZTLoginViewController::showSignInWithBio() {
  if (auto bio = enterWithBioView.lock()) bio->setAlpha(1);
  if (auto form = enterWithEmailAndPassView.lock()) form->setAlpha(0);
}

void ZTLoginViewController::hideSignInWithBio() {
  if (auto bio = enterWithBioView.lock()) bio->setAlpha(0);
  if (auto form = enterWithEmailAndPassView.lock()) form->setAlpha(1);
}

void ZTLoginViewController::showPasswordView() {
  if (auto password = passwordTextField.lock()) password->setAlpha(1);
  if (auto forgot = forgotPassButton.lock()) forgot->setAlpha(1);
  setupContinueButton(false);
  updateContinueConstraints();
  moveContentUp();
}

void ZTLoginViewController::showVerificationView() {
  if (auto forgot = forgotPassButton.lock()) forgot->setAlpha(0);
  if (auto code = verificationCodeView.lock()) code->setAlpha(1);
  setupContinueButton(false);
  updateContinueConstraints();
  moveContentUp();
}

void ZTLoginViewController::updateVerificationProcess() {
  auto email = emailTextField.lock();
  if (!email || !email->text) return;
  const bool replacing = verificationCodeModel != nullptr;
  verificationCodeModel = ZTVerificationCodeViewModel::make(
      std::weak_ptr<NeedVerification>(weakAs<ZTLoginViewController>()), *email->text, true);
  auto block = verificationCodeView.lock();
  if (!block) return;
  block->injectModel(verificationCodeModel);
  if (replacing) {
    // A code meant for the old address is never sent for the new one.
    block->clearCode();
    enteredVerificationCode.reset();
  }
  auto entry = std::dynamic_pointer_cast<UIKit::UIResponder>(block->codeEnterView.lock());
  if (auto password = passwordTextField.lock(); password && entry)
    password->addNextTextField(entry);
}

void ZTLoginViewController::updateEmailIfNeeded() {
  auto email = emailTextField.lock();
  if (!email || !email->text || !checkEmail() || !verificationCodeModel) return;
  if (verificationCodeModel->email() != email->text) updateVerificationProcess();
}

void ZTLoginViewController::continueIfNeeded(ZTLoginStep to) {
  if (!loginViewModel) return;
  if (static_cast<int>(loginViewModel->loginStep()) < static_cast<int>(to))
    loginViewModel->goToNextStep();
}

void ZTLoginViewController::setupContinueButton(bool enabled) {
  if (auto button = continueButton.lock()) button->setEnabled(enabled);
}

void ZTLoginViewController::updateContinueConstraints() {
  if (!loginViewModel) return;
  const auto step = loginViewModel->loginStep();
  auto activate = [](const std::shared_ptr<UIKit::NSLayoutConstraint>& constraint, bool active) {
    if (constraint) constraint->setActive(active);
  };
  activate(continueToEmailConstraint,
           step == ZTLoginStep::signInWithBioAuth || step == ZTLoginStep::enteringEmail);
  activate(continueToForgotButtonConstraint, step == ZTLoginStep::enteringPassword);
  activate(continueToVerifyCodeConstraint, step == ZTLoginStep::enteringVerificationCode);
  view()->layoutIfNeeded();
}

void ZTLoginViewController::dismissKeyboard() {
  view()->endEditing(true);
  moveContentUp();
}

bool ZTLoginViewController::checkEmail() {
  auto email = emailTextField.lock();
  return email && email->text && loginViewModel && loginViewModel->emailIsValid(*email->text);
}

bool ZTLoginViewController::checkPassword() {
  auto password = passwordTextField.lock();
  return password && password->text && loginViewModel &&
         loginViewModel->passwordIsValid(*password->text);
}

void ZTLoginViewController::tryToLogin() {
  auto email = emailTextField.lock();
  auto password = passwordTextField.lock();
  if (!email || !email->text || !password || !password->text || !enteredVerificationCode ||
      !loginViewModel)
    return;
  const auto channel =
      verificationCodeModel ? verificationCodeModel->authType() : AuthType::unknown;
  loginViewModel->logIn(*email->text, *password->text, *enteredVerificationCode, channel);
}

void ZTLoginViewController::didLoginSuccessfully(std::function<void()> action) {
  // The page is not presented: this closes nothing and runs the action afterwards.
  dismiss(true, [action = std::move(action)] {
    if (action) action();
  });
}

void ZTLoginViewController::didChangedVerificationCode(const std::string& code, bool finished) {
  setupContinueButton(finished);
  enteredVerificationCode = code;
}

std::shared_ptr<UIKit::UIViewControllerAnimatedTransitioning>
ZTLoginViewController::animationControllerForPresented(
    const std::shared_ptr<UIKit::UIViewController>& /*presented*/,
    const std::shared_ptr<UIKit::UIViewController>& /*presenting*/,
    const std::shared_ptr<UIKit::UIViewController>& /*source*/) {
  return std::make_shared<RightToLeftTransition>();
}

std::shared_ptr<UIKit::UIViewControllerAnimatedTransitioning>
ZTLoginViewController::animationControllerForDismissed(
    const std::shared_ptr<UIKit::UIViewController>& /*dismissed*/) {
  return std::make_shared<LeftToRightTransition>();
}

}  // namespace ZentrelSDK
