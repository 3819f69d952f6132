#pragma once

#include <functional>
#include <memory>
#include <string>

#include <UIKit/UIButton.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTModalCodeVerification/ZTModalVerificationModel.hpp"
#include "ZTModalCodeVerification/ZTModalView.hpp"
#include "ZTUIComponents/ZTVerificationCode/NeedVerification.hpp"
#include "ZTUIComponents/ZTVerificationCode/VerificationModel.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTVerificationCodeView.hpp"

namespace ZentrelSDK {

// The six-digit code card laid over the host's screen, laid out by the interface file
// "ZTModalCodeVerificationViewController": a header naming the channel, the code block and
// a Confirm button enabled once the code is complete. Confirm, Cancel or a tap around the
// card closes it with a cross dissolve; the view model answers after it has gone. Once on
// screen, its code view model reads the account settings and sends the code. Main thread only.
class ZTModalCodeVerificationViewController : public UIKit::UIViewController,
                                              public NeedVerification,
                                              public ZTModalView {
 public:
  // Swift `init(viewModel:)`, the only way to make it. A null model is logged and leaves the
  // card without an answer.
  explicit ZTModalCodeVerificationViewController(
      std::shared_ptr<ZTModalVerificationModel> viewModel);

  // Outlets, held weakly.
  std::weak_ptr<UIKit::UIView> transparentView;
  std::weak_ptr<UIKit::UIView> modalView;
  std::weak_ptr<UIKit::UILabel> titleLabel;
  std::weak_ptr<ZTVerificationCodeView> verificationView;
  std::weak_ptr<UIKit::UIButton> confirmButton;

  // Wires the card; its code view model starts reading the settings and sending the code.
  void viewDidLoad() override;
  void bindInterface(UIKit::InterfaceBinder& binder) override;
  // The tap around the card.
  void closePopover();
  void cancelAction(UIKit::UIControl& sender);
  void confirmAction(UIKit::UIControl& sender);
  // The user has answered on it (confirmed, cancelled, tapped around it).
  bool userAnswered() const { return userAnswered_; }

  void didChangedVerificationCode(const std::string& code, bool finished) override;
  void closeModal(std::function<void()> completion) override;

 private:
  void addCancelTapGesture();
  void configureViews();
  void changeHeaderWithNewAuthType();
  void setupConfirmButton(bool codeIsComplete);

  const std::shared_ptr<ZTModalVerificationModel> viewModel_;
  std::string verificationCode_;
  bool userAnswered_ = false;
  bool gone_ = false;
  // The embedded code view owns it.
  std::weak_ptr<VerificationModel> verificationModel_;
};

}  // namespace ZentrelSDK
