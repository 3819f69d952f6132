#pragma once

#include <memory>

#include <UIKit/UIButton.hpp>
#include <UIKit/UIImageView.hpp>
#include <UIKit/UIViewController.hpp>

namespace ZentrelSDK {

// Every required document waits for review; continue announces a modification. Main thread
// only.
class ZTMediaPendingViewController : public UIKit::UIViewController {
 public:
  // The screen of the interface file "ZTMediaPendingViewController" of the kit's bundle.
  ZTMediaPendingViewController();

  std::weak_ptr<UIKit::UIImageView> waitingImageView;
  std::weak_ptr<UIKit::UIButton> continueButton;

  void bindInterface(UIKit::InterfaceBinder& binder) override;
  void viewDidLoad() override;
  void btnContinue(UIKit::UIControl& sender);

 private:
  void configureUI();
};

}  // namespace ZentrelSDK
