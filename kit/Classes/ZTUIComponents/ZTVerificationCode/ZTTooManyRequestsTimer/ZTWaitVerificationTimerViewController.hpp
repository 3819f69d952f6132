#pragma once

#include <memory>

#include <UIKit/UILabel.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTUIComponents/ZTVerificationCode/ZTTooManyRequestsTimer/ZTVerificationTimerBlock.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTTooManyRequestsTimer/ZTVerificationTimerView.hpp"

namespace ZentrelSDK {

// The wait screen shown in place of the code entry after too many requests: a title, an
// explanation and the remaining seconds, laid out by the interface file
// "ZTWaitVerificationTimerViewController". It starts its countdown when it is about to
// appear. Main thread only.
class ZTWaitVerificationTimerViewController : public UIKit::UIViewController,
                                              public ZTVerificationTimerView {
 public:
  // Swift `init(viewModel:)`, the only way to make it. A null countdown is logged and leaves
  // the screen inert.
  explicit ZTWaitVerificationTimerViewController(
      std::shared_ptr<ZTVerificationTimerBlock> viewModel);

  // The countdown shown, owned by the screen.
  const std::shared_ptr<ZTVerificationTimerBlock> viewModel;
  // Outlets, held weakly; the two texts come from the interface file only.
  std::weak_ptr<UIKit::UILabel> titleLabel;
  std::weak_ptr<UIKit::UILabel> infoLabel;
  std::weak_ptr<UIKit::UILabel> timerLabel;

  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;
  // Shows the remaining seconds in a short animation.
  void updateTimerLabel() override;

  void bindInterface(UIKit::InterfaceBinder& binder) override;
};

}  // namespace ZentrelSDK
