#pragma once

#include <memory>
#include <string>

#include <UIKit/UIButton.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UIView.hpp>

#include "ZTUIComponents/ZTVerificationCode/CodeVerificationView.hpp"
#include "ZTUIComponents/ZTVerificationCode/VerificationModel.hpp"

namespace ZentrelSDK {

// The verification code block every code-asking screen embeds: a text saying where the code
// went, the six-digit entry and a button asking for the code again, laid out by the
// interface file "ZTVerificationCodeView". It follows the channel of the verification view
// model it is given and hands it every change of the entered code and every resend tap.
// Interface files may name it by its class. Main thread only.
class ZTVerificationCodeView : public UIKit::UIView {
  struct Token {};

 public:
  // Swift `init(frame:)`; made through `make`, since its button needs the view shared.
  static std::shared_ptr<ZTVerificationCodeView> make(UIKit::CGRect frame = {});
  ZTVerificationCodeView(Token, UIKit::CGRect frame);

  // Outlets, held weakly: the loaded content view owns them.
  std::weak_ptr<UIKit::UILabel> infoLabel;
  std::weak_ptr<UIKit::UIButton> requestCodeAgainButton;
  // The six-digit entry; screens may use it as a responder.
  std::weak_ptr<CodeVerificationView> codeEnterView;

  // Keeps the model (dropping an earlier one), shows its channel's text on the next turn of
  // the main queue, follows its later channel decisions and wires the entry to it.
  void injectModel(std::shared_ptr<VerificationModel> model);
  // Hides the resend button for good.
  void removeResendCodeButton();
  // Empties the entry, which reports the empty code to the model.
  void clearCode();
  // The resend button: a new code, with the model's loader.
  void resentCodeAction(UIKit::UIControl& sender);

  void bindInterface(UIKit::InterfaceBinder& binder) override;

 private:
  void commonInit();
  void configureUI();
  void configureCodeVerification();

  std::shared_ptr<VerificationModel> viewModel;
};

}  // namespace ZentrelSDK
