#include "ZTCustomCameraView/ZTMediaPreview/ZTMediaStatus/ZTMediaSuccess/ZTMediaSuccessViewController.hpp"

#include <optional>
#include <utility>

#include <Foundation/Bundle.hpp>
#include <UIKit/InterfaceBinder.hpp>

#include "ZTAPI/ZTPublicAPIDocuments.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/ZTMediaStatus/ZTMediaLoading/ZTMediaLoadingViewController.hpp"
#include "ZTEvents.hpp"
#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

ZTMediaSuccessViewController::ZTMediaSuccessViewController()
    : UIViewController("ZTMediaSuccessViewController",
                       Foundation::Bundle::forIdentifier(ZTConstants::BundleID)) {}

void ZTMediaSuccessViewController::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("docsFineImageView", docsFineImageView);
  binder.outlet("continueButton", continueButton);
  binder.action("btnContinue:", [this](UIKit::UIControl& sender) { btnContinue(sender); });
}

void ZTMediaSuccessViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  configureUI();
}

void ZTMediaSuccessViewController::viewDidAppear(bool animated) {
  UIViewController::viewDidAppear(animated);
  // Once, and only now: nothing can be presented over a screen still being presented, so a
  // loader asked for on load would never show and the read never start.
  if (std::exchange(readStarted_, true)) return;
  std::weak_ptr<ZTMediaSuccessViewController> weakSelf =
      std::static_pointer_cast<ZTMediaSuccessViewController>(shared_from_this());
  ZTUIUtilites::shared()->loaderStart(1.0, [weakSelf] {
    auto screen = weakSelf.lock();
    if (screen && screen->viewIfLoaded()->window()) screen->getDocumentList();
  });
}

void ZTMediaSuccessViewController::configureUI() {
  if (auto image = docsFineImageView.lock()) {
    image->setImage(ZTImageFromLib::makeLibraryImage("docsFine"));
  }
  if (auto button = continueButton.lock()) button->layer()->cornerRadius = 4.0;
}

void ZTMediaSuccessViewController::getDocumentList() {
  std::weak_ptr<ZTMediaSuccessViewController> weakSelf =
      std::static_pointer_cast<ZTMediaSuccessViewController>(shared_from_this());
  using Items = std::vector<std::optional<ZTPublicDocumentElement>>;
  ZTPublicAPIDocuments::request<Items>(
      true, ZTPublicConstants::getDocumentsEndpoint(),
      [weakSelf](Items items) {
        ZTUIUtilites::shared()->loaderDissmiss();
        if (auto screen = weakSelf.lock()) screen->setData(documentsOrEmpty(items));
      },
      [weakSelf](ZTOAuthError error) {
        ZTUIUtilites::shared()->loaderDissmiss([weakSelf, message = error.message] {
          ZTUIUtilites::shared()->errorAlert(message, [weakSelf] {
            if (auto screen = weakSelf.lock()) screen->setData({});
          });
        });
      });
}

void ZTMediaSuccessViewController::setData(std::vector<ZTPublicDocumentElement> data) {
  docks = std::move(data);
  if (auto button = continueButton.lock()) button->setEnabled(true);
}

void ZTMediaSuccessViewController::btnContinue(UIKit::UIControl&) {
  ZTEvents::shared()->documentForAppLoadingSuccessEventEmit(docks);
}

}  // namespace ZentrelSDK
