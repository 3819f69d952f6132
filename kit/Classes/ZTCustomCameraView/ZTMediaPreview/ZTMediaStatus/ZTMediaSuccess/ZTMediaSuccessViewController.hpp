#pragma once

#include <memory>
#include <vector>

#include <UIKit/UIButton.hpp>
#include <UIKit/UIImageView.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"

namespace ZentrelSDK {

// Every required document is verified: reads the user's documents under the loader, and
// its continue button hands them to the host through the app-success event. Main thread only.
class ZTMediaSuccessViewController : public UIKit::UIViewController {
 public:
  // The screen of the interface file "ZTMediaSuccessViewController" of the kit's bundle.
  ZTMediaSuccessViewController();

  std::weak_ptr<UIKit::UIImageView> docsFineImageView;
  std::weak_ptr<UIKit::UIButton> continueButton;
  std::vector<ZTPublicDocumentElement> docks;

  void bindInterface(UIKit::InterfaceBinder& binder) override;
  void viewDidLoad() override;
  void viewDidAppear(bool animated) override;
  void btnContinue(UIKit::UIControl& sender);

 private:
  void configureUI();
  void getDocumentList();
  void setData(std::vector<ZTPublicDocumentElement> data);

  bool readStarted_ = false;
};

}  // namespace ZentrelSDK
