#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <Foundation/Bundle.hpp>
#include <Foundation/NotificationCenter.hpp>
#include <UIKit/NSLayoutConstraint.hpp>
#include <UIKit/UIButton.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UIScrollView.hpp>
#include <UIKit/UIViewController.hpp>
#include <UIKit/UIViewControllerTransitioning.hpp>

#include "ZTAuth/Login/ZTLoginModel.hpp"
#include "ZTUIComponents/ZTTextFieldView.hpp"
#include "ZTUIComponents/ZTVerificationCode/NeedVerification.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTVerificationCodeView.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTVerificationCodeViewModel.hpp"

namespace ZentrelSDK {

// The login page of the entrance, laid out by the interface file "ZTLoginViewController":
// biometric sign-in, or e-mail, then password, then the six-digit code. It owns its view
// model, which holds the step, and a code view model from the password step on; it presents
// the password reset screen sliding in from the right. Main thread only.
class ZTLoginViewController : public UIKit::UIViewController,
                              public ZTLoginController,
                              public NeedVerification,
                              public UIKit::UIViewControllerTransitioningDelegate {
  struct Token {};

 public:
  // Swift `init(nibName:bundle:)`, by default the kit's own file. The view model is made
  // here, before any view exists, and may already ask for a step: that step is shown once
  // the views have loaded.
  static std::shared_ptr<ZTLoginViewController> make(
      std::optional<std::string> nibName = "ZTLoginViewController",
      std::shared_ptr<Foundation::Bundle> bundle = nullptr);
  ZTLoginViewController(Token, std::optional<std::string> nibName,
                        std::shared_ptr<Foundation::Bundle> bundle);
  ~ZTLoginViewController() override;

  std::shared_ptr<ZTLoginModel> loginViewModel;
  // From the password step on; replaced when the e-mail changes.
  std::shared_ptr<ZTVerificationCodeViewModel> verificationCodeModel;

  // Outlets, held weakly: the view owns them. The three constraints are held strongly, since
  // each waits inactive for its step.
  std::weak_ptr<UIKit::UIScrollView> scrollView;
  std::weak_ptr<UIKit::UIView> enterWithBioView;
  std::weak_ptr<UIKit::UILabel> greetingLabel;
  std::weak_ptr<UIKit::UILabel> bioTypeLabel;
  std::weak_ptr<UIKit::UIButton> bioEnterButton;
  std::weak_ptr<UIKit::UIView> enterWithEmailAndPassView;
  std::weak_ptr<UIKit::UILabel> greetingLabelOnEmailAndPass;
  std::weak_ptr<ZTTextFieldView> emailTextField;
  std::weak_ptr<ZTTextFieldView> passwordTextField;
  std::weak_ptr<ZTVerificationCodeView> verificationCodeView;
  std::weak_ptr<UIKit::UIButton> continueButton;
  std::weak_ptr<UIKit::UIButton> forgotPassButton;
  std::shared_ptr<UIKit::NSLayoutConstraint> continueToEmailConstraint;
  std::shared_ptr<UIKit::NSLayoutConstraint> continueToForgotButtonConstraint;
  std::shared_ptr<UIKit::NSLayoutConstraint> continueToVerifyCodeConstraint;

  void viewDidLoad() override;
  void bindInterface(UIKit::InterfaceBinder& binder) override;

  // Actions of the interface file.
  void authWithBioAction(UIKit::UIControl& sender);
  void goToEnterEmail(UIKit::UIControl& sender);
  void goToNextStep(UIKit::UIControl& sender);
  // Forgot password: the reset screen for the typed e-mail, or an alert for a bad one.
  void showResetButonView(UIKit::UIControl& sender);

  void showStep(ZTLoginStep step) override;
  void tryToLogin() override;
  void didLoginSuccessfully(std::function<void()> action) override;
  void didChangedVerificationCode(const std::string& code, bool finished) override;

  std::shared_ptr<UIKit::UIViewControllerAnimatedTransitioning> animationControllerForPresented(
      const std::shared_ptr<UIKit::UIViewController>& presented,
      const std::shared_ptr<UIKit::UIViewController>& presenting,
      const std::shared_ptr<UIKit::UIViewController>& source) override;
  std::shared_ptr<UIKit::UIViewControllerAnimatedTransitioning> animationControllerForDismissed(
      const std::shared_ptr<UIKit::UIViewController>& dismissed) override;

  const std::optional<std::string>& enteredCode() const { return enteredVerificationCode; }

 private:
  void setupGreetingLabels();
  void addTapForDissmissKeyboard();
  void configureViews();
  void addActionsOnTextFieldChanges();
  void addKeyboardNotifications();
  void keyboardWillShow(const Foundation::Notification& notification);
  void hideKeyboard(const Foundation::Notification& notification);
  void moveContentUp();
  void showSignInWithBio();
  void hideSignInWithBio();
  void showPasswordView();
  void showVerificationView();
  void updateVerificationProcess();
  void updateEmailIfNeeded();
  void continueIfNeeded(ZTLoginStep to);
  void setupContinueButton(bool enabled);
  void updateContinueConstraints();
  void dismissKeyboard();
  bool checkEmail();
  bool checkPassword();

  std::optional<std::string> enteredVerificationCode;
  UIKit::CGFloat keyboardHeight = 0;
  std::vector<std::shared_ptr<Foundation::NotificationObserver>> keyboardObservers;
};

}  // namespace ZentrelSDK
