#include "ZTAuth/SignUp/ZTSignUpViewController.hpp"

#include <any>

#include <Foundation/Bundle.hpp>
#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/NSMutableAttributedString.hpp>
#include <UIKit/UIKeyboard.hpp>
#include <UIKit/UITapGestureRecognizer.hpp>

#include "ZTLogger.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"

namespace ZentrelSDK {

std::shared_ptr<ZTSignUpViewController> ZTSignUpViewController::make(
    std::optional<std::string> nibName, std::shared_ptr<Foundation::Bundle> bundle) {
  auto screen =
      std::make_shared<ZTSignUpViewController>(Token{}, std::move(nibName), std::move(bundle));
  screen->signUpViewModel =
      std::make_shared<ZTSignUpViewModel>(std::weak_ptr<ZTSignUpNewController>(
          std::static_pointer_cast<ZTSignUpNewController>(screen)));
  return screen;
}

ZTSignUpViewController::ZTSignUpViewController(Token, std::optional<std::string> nibName,
                                               std::shared_ptr<Foundation::Bundle> bundle)
    : UIViewController(std::move(nibName), std::move(bundle)) {}

ZTSignUpViewController::~ZTSignUpViewController() {
  for (const auto& observer : keyboardObservers)
    Foundation::NotificationCenter::defaultCenter().removeObserver(observer);
}

void ZTSignUpViewController::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("greetingLabel", greetingLabel);
  binder.outlet("scrollView", scrollView);
  binder.outlet("signUpView", signUpView);
  binder.outlet("emailTextView", emailTextView);
  binder.outlet("passwordTextView", passwordTextView);
  binder.outlet("repeatePasswordView", repeatePasswordView);
  binder.outlet("continueButton", continueButton);
  binder.outlet("verificationCodeView", verificationCodeView);
  binder.outlet("constraintContinueToRepeatPassword", constraintContinueToRepeatPassword);
  binder.outlet("constraintContinueToVerification", constraintContinueToVerification);
  binder.action("continueAction:",
                [weak = weakAs<ZTSignUpViewController>()](UIKit::UIControl& sender) {
                  if (auto self = weak.lock()) self->continueAction(sender);
                });
}

void ZTSignUpViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  setupGreetingLabel();
  addTapForDissmissKeyboard();
  configureViews();
  addActionsForTextFieldChanges();
  updateContinueConstraints();
  addKeyboardNotifications();
}

void ZTSignUpViewController::setupGreetingLabel() {
  auto label = greetingLabel.lock();
  if (!label) return;
  using Key = UIKit::NSAttributedString::Key;
  const UIKit::UIColor colour(17.0 / 255, 22.0 / 255, 26.0 / 255, 1);
  UIKit::NSMutableAttributedString text(UIKit::NSAttributedString(
      "Welcome,\nregister to continue ",
      {{Key::font, UIKit::UIFont::systemFont(32, UIKit::UIFont::Weight::light)},
       {Key::foregroundColor, colour},
       {Key::kern, 0.75}}));
  text.addAttributes(
      {{Key::font, UIKit::UIFont::systemFont(32, UIKit::UIFont::Weight::bold)}, {Key::kern, -0.5}},
      {0, 8});
  label->setAttributedText(text);
}

void ZTSignUpViewController::addTapForDissmissKeyboard() {
  auto form = signUpView.lock();
  if (!form) return;
  auto tap = std::make_shared<UIKit::UITapGestureRecognizer>();
  tap->addTarget(sharedAs<ZTSignUpViewController>(), &ZTSignUpViewController::dismissKeyboard);
  tap->setCancelsTouchesInView(false);
  form->addGestureRecognizer(tap);
}

void ZTSignUpViewController::configureViews() {
  if (auto field = emailTextView.lock())
    field->configureTextField(UIKit::UIKeyboardType::emailAddress, "Enter your email");
  if (auto field = passwordTextView.lock())
    field->configureTextField(UIKit::UIKeyboardType::defaultType, "Enter a unique password", true);
  if (auto field = repeatePasswordView.lock())
    field->configureTextField(UIKit::UIKeyboardType::defaultType, "Repeat this password", true);
  if (auto button = continueButton.lock()) button->layer()->cornerRadius = 5;
  setupContinueButton(false);
  setOverrideUserInterfaceStyle(UIKit::UIUserInterfaceStyle::light);
}

void ZTSignUpViewController::addActionsForTextFieldChanges() {
  auto email = emailTextView.lock();
  auto password = passwordTextView.lock();
  auto repeated = repeatePasswordView.lock();
  if (!email || !password || !repeated) return;
  const auto weak = weakAs<ZTSignUpViewController>();
  auto onChange = [weak](bool) {
    if (auto self = weak.lock()) self->setupContinueButton(self->checkFields());
  };
  email->addNextTextField(password);
  email->addCallbackOnEnding([weak] {
    auto self = weak.lock();
    if (!self || !self->checkEmail()) return;
    self->updateEmailIfNeeded();
    self->moveContentUp();
  });
  email->addCallbackEditingNotEmpty(onChange);
  password->addNextTextField(repeated);
  password->addCallbackEditingNotEmpty(onChange);
  password->addCallbackOnEnding([weak] {
    if (auto self = weak.lock()) self->moveContentUp();
  });
  repeated->addCallbackEditingNotEmpty(onChange);
  repeated->addCallbackOnEnding([weak] {
    auto self = weak.lock();
    if (!self || !self->checkFields()) return;
    self->moveContentUp();
    self->continueIfNeeded(ZTSignUpStep::enteringVerificationCode);
  });
}

void ZTSignUpViewController::updateContinueConstraints() {
  const bool first = signUpViewModel->signUpStep() == ZTSignUpStep::enteringEmailAndPasswords;
  if (constraintContinueToRepeatPassword) constraintContinueToRepeatPassword->setActive(first);
  if (constraintContinueToVerification) constraintContinueToVerification->setActive(!first);
  view()->layoutIfNeeded();
}

void ZTSignUpViewController::addKeyboardNotifications() {
  auto& center = Foundation::NotificationCenter::defaultCenter();
  const auto weak = weakAs<ZTSignUpViewController>();
  keyboardObservers.push_back(
      center.addObserver(UIKit::UIKeyboardWillShowNotification, std::nullopt, nullptr,
                         [weak](const Foundation::Notification& notification) {
                           if (auto self = weak.lock()) self->keyboardWillShow(notification);
                         }));
  keyboardObservers.push_back(center.addObserver(UIKit::UIKeyboardWillHideNotification,
                                                 std::nullopt, nullptr,
                                                 [weak](const Foundation::Notification&) {
                                                   if (auto self = weak.lock())
                                                     self->hideKeyboard();
                                                 }));
}

void ZTSignUpViewController::keyboardWillShow(const Foundation::Notification& notification) {
  if (notification.userInfo) {
    auto it = notification.userInfo->find(UIKit::UIKeyboardFrameEndUserInfoKey);
    if (it != notification.userInfo->end()) {
      if (const auto* frame = std::any_cast<UIKit::CGRect>(&it->second))
        keyboardHeight = view()->convertFrom(*frame, nullptr).size.height;
    }
  }
  moveContentUp();
}

void ZTSignUpViewController::hideKeyboard() {
  keyboardHeight = 0;
  moveContentUp();
}

void ZTSignUpViewController::moveContentUp() {
  auto scroll = scrollView.lock();
  if (!scroll) return;
  auto focused = [](const std::weak_ptr<ZTTextFieldView>& field) {
    auto view = field.lock();
    auto input = view ? view->textField.lock() : nullptr;
    return input && input->isFirstResponder();
  };
  auto quarterOf = [](const auto& weakView) {
    auto view = weakView.lock();
    return view ? view->frame().maxY() / 4 : 0.0;
  };
  UIKit::CGFloat bottom = 0;
  auto code = verificationCodeView.lock();
  if (focused(emailTextView)) {
    bottom = keyboardHeight + quarterOf(emailTextView);
  } else if (focused(passwordTextView)) {
    bottom = keyboardHeight + quarterOf(passwordTextView);
  } else if (focused(repeatePasswordView)) {
    bottom = keyboardHeight + quarterOf(repeatePasswordView);
  } else if ((code && code->isFirstResponder()) ||
             signUpViewModel->signUpStep() != ZTSignUpStep::enteringEmailAndPasswords) {
    bottom = keyboardHeight + quarterOf(verificationCodeView);
  } else if (checkEmail()) {
    bottom = keyboardHeight + quarterOf(emailTextView);
  }
  UIKit::UIView::animate(0.3, [weak = std::weak_ptr<UIKit::UIScrollView>(scroll), bottom] {
    auto view = weak.lock();
    if (!view) return;
    auto inset = view->contentInset();
    inset.bottom = bottom;
    view->setContentInset(inset);
  });
}

void ZTSignUpViewController::hideVerificationView() {
  if (auto code = verificationCodeView.lock()) code->setAlpha(0);
  updateContinueConstraints();
  moveContentUp();
}

void ZTSignUpViewController::showVerificationView() {
  if (auto code = verificationCodeView.lock()) code->setAlpha(1);
  updateContinueConstraints();
  setupContinueButton(false);
  moveContentUp();
}

void ZTSignUpViewController::showStep(ZTSignUpStep step) {
  UIKit::UIView::animate(0.5, [self = sharedAs<ZTSignUpViewController>(), step] {
    switch (step) {
      case ZTSignUpStep::enteringEmailAndPasswords:
        self->hideVerificationView();
        break;
      case ZTSignUpStep::enteringVerificationCode:
        self->updateVerificationProcess();
        self->showVerificationView();
        break;
      case ZTSignUpStep::saveBioToken:
        ZTLogger::errorLog("it should go from model?", __builtin_FILE(), "showStep(_:)");
        break;
    }
  });
}

void ZTSignUpViewController::continueAction(UIKit::UIControl&) {
  signUpViewModel->goToNextStep();
}

void ZTSignUpViewController::updateVerificationProcess() {
  auto email = emailTextView.lock();
  if (!email || !email->text) return;
  verificationCodeModel = ZTVerificationCodeViewModel::make(
      std::weak_ptr<NeedVerification>(
          std::static_pointer_cast<NeedVerification>(sharedAs<ZTSignUpViewController>())),
      *email->text, true);
  if (auto code = verificationCodeView.lock()) code->injectModel(verificationCodeModel);
}

void ZTSignUpViewController::updateEmailIfNeeded() {
  if (!checkEmail() || !checkPasswordsMatch() || !verificationCodeModel) return;
  auto email = emailTextView.lock();
  if (!email || !email->text) return;
  if (*email->text != verificationCodeModel->email().value_or(""))
    verificationCodeModel->setEmail(*email->text);
}

void ZTSignUpViewController::continueIfNeeded(ZTSignUpStep step) {
  if (static_cast<int>(signUpViewModel->signUpStep()) < static_cast<int>(step) &&
      step == ZTSignUpStep::enteringVerificationCode && checkFields())
    signUpViewModel->goToNextStep();
}

void ZTSignUpViewController::setupContinueButton(bool enabled) {
  if (auto button = continueButton.lock()) button->setEnabled(enabled);
}

void ZTSignUpViewController::dismissKeyboard() {
  updateEmailIfNeeded();
  view()->endEditing(true);
  moveContentUp();
}

bool ZTSignUpViewController::checkEmail() const {
  auto email = emailTextView.lock();
  return email && email->text && signUpViewModel->emailIsValid(*email->text);
}

bool ZTSignUpViewController::checkPasswordsMatch() const {
  auto password = passwordTextView.lock();
  auto repeated = repeatePasswordView.lock();
  return signUpViewModel->passwordsMatch(password ? password->text : std::nullopt,
                                         repeated ? repeated->text : std::nullopt);
}

bool ZTSignUpViewController::checkFields() const {
  if (signUpViewModel->signUpStep() == ZTSignUpStep::enteringEmailAndPasswords)
    return checkEmail() && checkPasswordsMatch();
  return signUpViewModel->verificationCodeIsValid(enteredVerificationCode) && checkEmail() &&
         checkPasswordsMatch();
}

void ZTSignUpViewController::tryToSignUp() {
  if (!checkEmail() || !checkPasswordsMatch() || !enteredVerificationCode) return;
  signUpViewModel->signUp(*emailTextView.lock()->text, *passwordTextView.lock()->text,
                          *enteredVerificationCode);
}

void ZTSignUpViewController::didSignUpSuccessfully(std::function<void()> action) {
  dismiss(true, std::move(action));
}

void ZTSignUpViewController::errorWithSignUp(const std::string& errorMessage) {
  if (auto code = verificationCodeView.lock()) code->clearCode();
  enteredVerificationCode.reset();
  ZTUIUtilites::shared()->errorAlert(errorMessage);
}

void ZTSignUpViewController::didChangedVerificationCode(const std::string& code, bool finished) {
  setupContinueButton(finished);
  enteredVerificationCode = code;
}

}  // namespace ZentrelSDK
