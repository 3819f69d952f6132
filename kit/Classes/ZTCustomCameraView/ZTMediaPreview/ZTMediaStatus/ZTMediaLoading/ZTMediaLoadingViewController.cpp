#include "ZTCustomCameraView/ZTMediaPreview/ZTMediaStatus/ZTMediaLoading/ZTMediaLoadingViewController.hpp"

#include <algorithm>
#include <numbers>

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/Bundle.hpp>
#include <UIKit/InterfaceBinder.hpp>

#include "ZTAPI/ZTPublicAPIDocuments.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/ZTMediaStatus/ZTMediaPending/ZTMediaPendingViewController.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/ZTMediaStatus/ZTMediaSuccess/ZTMediaSuccessViewController.hpp"
#include "ZTDocuments/ZTDocumentsLoadingCore/ZTAppDocuments.hpp"
#include "ZTDocuments/ZTDocumentsLoadingCore/ZTDocumentSort.hpp"
#include "ZTEvents.hpp"
#include "ZTExtensions/ZTUIApplication.hpp"
#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

using Status = ZTPublicConstants::DocumentStatusType;

namespace {
constexpr Foundation::TimeInterval kRecognitionWait = 30.0;
}  // namespace

std::vector<ZTPublicDocumentElement> documentsOrEmpty(
    const std::vector<std::optional<ZTPublicDocumentElement>>& items) {
  std::vector<ZTPublicDocumentElement> docks;
  for (const auto& item : items) {
    if (!item) return {};
    docks.push_back(*item);
  }
  return docks;
}

ZTMediaLoadingViewController::ZTMediaLoadingViewController()
    : UIViewController("ZTMediaLoadingViewController",
                       Foundation::Bundle::forIdentifier(ZTConstants::BundleID)) {}

std::shared_ptr<ZTMediaLoadingViewController> ZTMediaLoadingViewController::self() {
  return std::static_pointer_cast<ZTMediaLoadingViewController>(shared_from_this());
}

bool ZTMediaLoadingViewController::isShown() const {
  const auto& view = viewIfLoaded();
  return view && view->window() && presentingViewController() && !isBeingDismissed();
}

void ZTMediaLoadingViewController::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("pendingCircle", pendingCircle);
}

void ZTMediaLoadingViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  setCircleImage();
  // Held weakly: a screen closed before the wait is over reads nothing.
  std::weak_ptr<ZTMediaLoadingViewController> weakSelf = self();
  Dispatch::DispatchQueue::main().asyncAfter(kRecognitionWait, [weakSelf] {
    auto screen = weakSelf.lock();
    if (screen && screen->isShown()) screen->getDocumentList();
  });
}

void ZTMediaLoadingViewController::viewDidAppear(bool animated) {
  UIViewController::viewDidAppear(animated);
  infiniteCircleRotation();
}

void ZTMediaLoadingViewController::setCircleImage() {
  if (auto circle = pendingCircle.lock()) {
    circle->setImage(ZTImageFromLib::makeLibraryImage("pendingCircle"));
  }
}

void ZTMediaLoadingViewController::infiniteCircleRotation() {
  auto circle = pendingCircle.lock();
  if (!circle) return;
  std::weak_ptr<ZTMediaLoadingViewController> weakSelf = self();
  UIKit::UIView::animate(
      1.0, 0.0, UIKit::UIView::AnimationOptions::curveLinear,
      [circle] { circle->setTransform(circle->transform().rotated(std::numbers::pi / 2)); },
      [weakSelf](bool finished) {
        auto screen = weakSelf.lock();
        // Stops with the screen: once it has left the chain nobody sees it turn.
        if (finished && screen && screen->isShown()) screen->infiniteCircleRotation();
      });
}

void ZTMediaLoadingViewController::getDocumentList() {
  std::weak_ptr<ZTMediaLoadingViewController> weakSelf = self();
  using Items = std::vector<std::optional<ZTPublicDocumentElement>>;
  ZTPublicAPIDocuments::request<Items>(
      true, ZTPublicConstants::getDocumentsEndpoint(),
      [weakSelf](Items items) {
        if (auto screen = weakSelf.lock()) screen->checkStatus(documentsOrEmpty(items));
      },
      [weakSelf](ZTOAuthError error) {
        ZTUIUtilites::shared()->errorAlert(error.message, [weakSelf] {
          if (auto screen = weakSelf.lock()) screen->beginTransition();
        });
      });
}

void ZTMediaLoadingViewController::checkStatus(const std::vector<ZTPublicDocumentElement>& docks) {
  const auto required = ZTAppDocuments::shared()->dockTypeList();
  if (ZTDocumentSort::checkDocksStatus(docks, required, Status::Verified)) {
    appDocksStatus = Status::Verified;
  } else if (ZTDocumentSort::checkDocksStatus(docks, required, Status::PendingReview)) {
    appDocksStatus = Status::PendingReview;
  }
  beginTransition();
}

void ZTMediaLoadingViewController::beginTransition() {
  switch (appDocksStatus) {
    case Status::Verified:
      return openSuccessScreen();
    case Status::PendingReview:
      return openPendingScreen();
    default:
      ZTEvents::shared()->documentModificationEventEmit();
  }
}

void ZTMediaLoadingViewController::openSuccessScreen() {
  auto next = std::make_shared<ZTMediaSuccessViewController>();
  next->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
  ZTUIApplication::present(*this, next, true);
}

void ZTMediaLoadingViewController::openPendingScreen() {
  auto next = std::make_shared<ZTMediaPendingViewController>();
  next->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
  ZTUIApplication::present(*this, next, true);
}

}  // namespace ZentrelSDK
