#pragma once

#include <memory>
#include <string>

#include <UIKit/UIButton.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTAuth/ChangePassword/ZTChangePasswordModel.hpp"
#include "ZTUIComponents/ZTTextFieldView.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTVerificationCodeView.hpp"

namespace ZentrelSDK {

// The password reset screen, laid out by the interface file "ZTChangePasswordViewController":
// the new password twice, the code block and Continue. Loading it begins the reset session
// for its model's e-mail; a too-many-requests answer lays the wait countdown over the code
// block until it ends. Main thread only.
class ZTChangePasswordViewController : public UIKit::UIViewController, public ZTChangePasswordView {
 public:
  // Swift `init(viewModel:)`.
  explicit ZTChangePasswordViewController(std::shared_ptr<ZTChangePasswordModel> viewModel);

  const std::shared_ptr<ZTChangePasswordModel> viewModel;
  // Outlets, held weakly: the view owns them.
  std::weak_ptr<ZTTextFieldView> passwordTextView;
  std::weak_ptr<ZTTextFieldView> repeatPasswordTextView;
  std::weak_ptr<ZTVerificationCodeView> verificationView;
  std::weak_ptr<UIKit::UIButton> continueButton;
  std::weak_ptr<UIKit::UIButton> dismissButton;

  void viewDidLoad() override;
  void bindInterface(UIKit::InterfaceBinder& binder) override;

  // Sends the new password with the code, when both fields still pass the check.
  void continueAction(UIKit::UIControl& sender);
  // Closes the screen; nothing is sent.
  void dismissAction(UIKit::UIControl& sender);

  void didChangeCodeSuccessfully() override;
  void didGetError(const std::string& error) override;
  void didChangedVerificationCode(const std::string& code, bool finished) override;
  void addVerificationTimerView(const std::shared_ptr<ZTVerificationTimerBlock>& with) override;
  void removeVerificationTimerView() override;

 private:
  void addTapForDissmissKeyboard();
  void configureViews();
  void addActionsOnTextFields();
  bool checkFields();
  void setupContinueButton(bool enabled);
  void dismissKeyboard();

  std::string enteredVerificationCode;
};

}  // namespace ZentrelSDK
