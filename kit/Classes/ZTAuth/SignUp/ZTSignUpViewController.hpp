#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <Foundation/NotificationCenter.hpp>
#include <UIKit/NSLayoutConstraint.hpp>
#include <UIKit/UIButton.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UIScrollView.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTAuth/SignUp/ZTSignUpViewModel.hpp"
#include "ZTUIComponents/ZTTextFieldView.hpp"
#include "ZTUIComponents/ZTVerificationCode/NeedVerification.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTVerificationCodeView.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTVerificationCodeViewModel.hpp"

namespace Foundation {
class Bundle;
}

namespace ZentrelSDK {

// The sign-up page: e-mail, password twice, then the code block; Continue first reveals the
// code block (whose model checks the e-mail and sends the code), then signs up. A page of the
// entrance, never presented by itself. Laid out by "ZTSignUpViewController". Main thread only.
class ZTSignUpViewController : public UIKit::UIViewController,
                               public ZTSignUpNewController,
                               public NeedVerification {
  struct Token {};

 public:
  // Swift `init(nibName:bundle:)`, which makes the view model; made through `make` since the
  // model holds the screen weakly.
  static std::shared_ptr<ZTSignUpViewController> make(std::optional<std::string> nibName,
                                                      std::shared_ptr<Foundation::Bundle> bundle);
  ZTSignUpViewController(Token, std::optional<std::string> nibName,
                         std::shared_ptr<Foundation::Bundle> bundle);
  // Ends the keyboard observers: they never outlive the screen.
  ~ZTSignUpViewController() override;

  std::shared_ptr<ZTSignUpModel> signUpViewModel;
  // Made when the code step begins, for the e-mail typed.
  std::shared_ptr<ZTVerificationCodeViewModel> verificationCodeModel;
  std::weak_ptr<UIKit::UILabel> greetingLabel;
  std::weak_ptr<UIKit::UIScrollView> scrollView;
  std::weak_ptr<UIKit::UIView> signUpView;
  std::weak_ptr<ZTTextFieldView> emailTextView;
  std::weak_ptr<ZTTextFieldView> passwordTextView;
  std::weak_ptr<ZTTextFieldView> repeatePasswordView;
  std::weak_ptr<UIKit::UIButton> continueButton;
  std::weak_ptr<ZTVerificationCodeView> verificationCodeView;
  // Switched on and off by the steps, so held strongly.
  std::shared_ptr<UIKit::NSLayoutConstraint> constraintContinueToRepeatPassword;
  std::shared_ptr<UIKit::NSLayoutConstraint> constraintContinueToVerification;

  void viewDidLoad() override;
  void bindInterface(UIKit::InterfaceBinder& binder) override;

  void showStep(ZTSignUpStep step) override;
  void tryToSignUp() override;
  void didSignUpSuccessfully(std::function<void()> action) override;
  void errorWithSignUp(const std::string& errorMessage) override;
  void didChangedVerificationCode(const std::string& code, bool finished) override;

  void continueAction(UIKit::UIControl& sender);

 private:
  void setupGreetingLabel();
  void addTapForDissmissKeyboard();
  void configureViews();
  void addActionsForTextFieldChanges();
  void updateContinueConstraints();
  void addKeyboardNotifications();
  void keyboardWillShow(const Foundation::Notification& notification);
  void hideKeyboard();
  void moveContentUp();
  void hideVerificationView();
  void showVerificationView();
  void updateVerificationProcess();
  void updateEmailIfNeeded();
  void continueIfNeeded(ZTSignUpStep step);
  void setupContinueButton(bool enabled);
  void dismissKeyboard();
  bool checkFields() const;
  bool checkEmail() const;
  bool checkPasswordsMatch() const;

  std::optional<std::string> enteredVerificationCode;
  UIKit::CGFloat keyboardHeight = 0;
  std::vector<std::shared_ptr<Foundation::NotificationObserver>> keyboardObservers;
};

}  // namespace ZentrelSDK
