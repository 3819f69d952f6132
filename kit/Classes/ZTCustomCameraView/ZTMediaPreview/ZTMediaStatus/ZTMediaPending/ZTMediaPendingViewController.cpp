#include "ZTCustomCameraView/ZTMediaPreview/ZTMediaStatus/ZTMediaPending/ZTMediaPendingViewController.hpp"

#include <Foundation/Bundle.hpp>
#include <UIKit/InterfaceBinder.hpp>

#include "ZTEvents.hpp"
#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

ZTMediaPendingViewController::ZTMediaPendingViewController()
    : UIViewController("ZTMediaPendingViewController",
                       Foundation::Bundle::forIdentifier(ZTConstants::BundleID)) {}

void ZTMediaPendingViewController::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("waitingImageView", waitingImageView);
  binder.outlet("continueButton", continueButton);
  binder.action("btnContinue:", [this](UIKit::UIControl& sender) { btnContinue(sender); });
}

void ZTMediaPendingViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  configureUI();
}

void ZTMediaPendingViewController::configureUI() {
  if (auto image = waitingImageView.lock()) {
    image->setImage(ZTImageFromLib::makeLibraryImage("waitBloodyCustomer"));
  }
  if (auto button = continueButton.lock()) button->layer()->cornerRadius = 4.0;
}

void ZTMediaPendingViewController::btnContinue(UIKit::UIControl&) {
  ZTEvents::shared()->documentModificationEventEmit();
}

}  // namespace ZentrelSDK
