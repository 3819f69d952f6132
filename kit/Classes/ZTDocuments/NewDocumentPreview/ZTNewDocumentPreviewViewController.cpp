#include "ZTDocuments/NewDocumentPreview/ZTNewDocumentPreviewViewController.hpp"

#include <utility>

#include <Foundation/Bundle.hpp>
#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/UITapGestureRecognizer.hpp>

#include "ZTCustomCameraView/ZTMediaPreview/ZTMediaStatus/ZTMediaLoading/ZTMediaLoadingViewController.hpp"
#include "ZTDocuments/ZTDocumentStatusLabel.hpp"
#include "ZTExtensions/ZTUIApplication.hpp"
#include "ZTLogger.hpp"
#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "ZTUtilites/ZTConstants.hpp"
#include "ZTUtilites/ZTUIConstants.hpp"

namespace ZentrelSDK {

namespace {
constexpr const char* kNibName = "ZTNewDocumentPreviewViewController";
constexpr UIKit::UIColor kLockedSubmit{0.8321705, 0.85107887, 0.8855825, 1.0};
}  // namespace

ZTNewDocumentPreviewViewController::ZTNewDocumentPreviewViewController(
    std::shared_ptr<ZTDocumentPreviewModel> viewModel)
    : UIViewController(kNibName, Foundation::Bundle::forIdentifier(ZTConstants::BundleID)),
      viewModel(std::move(viewModel)) {}

std::shared_ptr<ZTNewDocumentPreviewViewController> ZTNewDocumentPreviewViewController::self() {
  return std::static_pointer_cast<ZTNewDocumentPreviewViewController>(shared_from_this());
}

void ZTNewDocumentPreviewViewController::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("backButton", backButton);
  binder.outlet("documentTypeLabel", documentTypeLabel);
  binder.outlet("docStatusLabel", docStatusLabel);
  binder.outlet("addBacksideButton", addBacksideButton);
  binder.outlet("submitButton", submitButton);
  binder.outlet("frontsideImage", frontsideImage);
  binder.outlet("backsideImage", backsideImage);
  const auto button =
      [this](void (ZTNewDocumentPreviewViewController::*handler)(UIKit::UIButton&)) {
        return [this, handler](UIKit::UIControl& sender) {
          if (auto* pressed = dynamic_cast<UIKit::UIButton*>(&sender)) (this->*handler)(*pressed);
        };
      };
  binder.action("backButtonAction:", button(&ZTNewDocumentPreviewViewController::backButtonAction));
  binder.action("addBacksideImageAction:",
                button(&ZTNewDocumentPreviewViewController::addBacksideImageAction));
  binder.action("submitAction:", button(&ZTNewDocumentPreviewViewController::submitAction));
}

void ZTNewDocumentPreviewViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  if (viewModel) viewModel->setupDelegate(self());
  configureViews();
  addRetakePhotoGestures();
}

void ZTNewDocumentPreviewViewController::viewDidAppear(bool animated) {
  UIViewController::viewDidAppear(animated);
  setFrontsidePhoto();
}

void ZTNewDocumentPreviewViewController::configureViews() {
  if (auto button = backButton.lock()) {
    button->setImage(ZTImageFromLib::makeLibraryImage("arrowBack"), UIKit::UIButton::State::normal);
  }
  if (auto label = documentTypeLabel.lock(); label && viewModel) {
    label->setText(getLocalize(viewModel->documentType()));
  }
  configureDocStatus();
  if (auto button = addBacksideButton.lock()) {
    button->layer()->borderWidth = 2.0;
    button->layer()->borderColor = ZTUIConstants::MAIN_COLOR().cgColor();
    button->layer()->cornerRadius = 4.0;
  }
  if (auto button = submitButton.lock()) button->layer()->cornerRadius = 4.0;
}

void ZTNewDocumentPreviewViewController::addRetakePhotoGestures() {
  const auto attach = [this](const std::weak_ptr<UIKit::UIImageView>& slot,
                             void (ZTNewDocumentPreviewViewController::*handler)()) {
    auto view = slot.lock();
    if (!view) return;
    auto tap = std::make_shared<UIKit::UITapGestureRecognizer>();
    tap->addTarget(self(), handler);
    view->setUserInteractionEnabled(true);
    view->addGestureRecognizer(tap);
  };
  attach(frontsideImage, &ZTNewDocumentPreviewViewController::retakeFrontPhoto);
  attach(backsideImage, &ZTNewDocumentPreviewViewController::retakeBackPhoto);
}

void ZTNewDocumentPreviewViewController::configureDocStatus() {
  auto label = docStatusLabel.lock();
  if (!viewModel || !label) return;
  if (const auto status = viewModel->documentStatus()) showDocumentStatus(*label, *status);
}

// User actions.

void ZTNewDocumentPreviewViewController::retakeFrontPhoto() {
  if (viewModel) viewModel->takeFrontsidePhoto();
}

void ZTNewDocumentPreviewViewController::retakeBackPhoto() {
  if (viewModel) viewModel->takeBacksidePhoto();
}

void ZTNewDocumentPreviewViewController::addBacksideImageAction(UIKit::UIButton&) {
  if (viewModel) viewModel->takeBacksidePhoto();
}

void ZTNewDocumentPreviewViewController::submitAction(UIKit::UIButton&) {
  if (viewModel) viewModel->submitDocument();
}

void ZTNewDocumentPreviewViewController::backButtonAction(UIKit::UIButton&) {
  if (viewModel) viewModel->clearCacheAndListeners();
  dismiss(true);
}

// What the view model drives.

void ZTNewDocumentPreviewViewController::setFrontsidePhoto() {
  if (auto view = frontsideImage.lock()) {
    view->setImage(viewModel ? viewModel->frontSideImage() : nullptr);
  }
}

void ZTNewDocumentPreviewViewController::setBacksidePhoto() {
  if (auto button = addBacksideButton.lock()) button->setHidden(true);
  if (auto view = backsideImage.lock()) {
    view->setHidden(false);
    view->setImage(viewModel ? viewModel->backSideImage() : nullptr);
  }
}

void ZTNewDocumentPreviewViewController::documentStatusDidUpdate() {
  configureDocStatus();
}

void ZTNewDocumentPreviewViewController::lockDocumentChanging() {
  if (auto button = addBacksideButton.lock()) button->setHidden(true);
  if (auto button = submitButton.lock()) {
    button->setEnabled(false);
    button->setBackgroundColor(kLockedSubmit);
  }
  for (const auto& slot : {frontsideImage, backsideImage}) {
    auto view = slot.lock();
    if (!view) continue;
    for (const auto& recognizer : std::vector(view->gestureRecognizers())) {
      view->removeGestureRecognizer(recognizer);
    }
  }
}

void ZTNewDocumentPreviewViewController::deleteBacksidePhoto() {
  if (auto button = addBacksideButton.lock()) button->setHidden(false);
  if (auto view = backsideImage.lock()) {
    view->setHidden(true);
    view->setImage(nullptr);
  }
}

void ZTNewDocumentPreviewViewController::showLoadingProcess() {
  auto loading = std::make_shared<ZTMediaLoadingViewController>();
  loading->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
  ZTUIApplication::present(*this, loading, true);
}

void ZTNewDocumentPreviewViewController::showCongratulation() {
  ZTLogger::warningLog("congrats");
}

void ZTNewDocumentPreviewViewController::finalAction(std::function<void()> action) {
  dismiss(true, [action = std::move(action)] {
    if (action) action();
  });
}

void ZTNewDocumentPreviewViewController::showError(const std::string& error) {
  ZTUIUtilites::shared()->errorAlert(error);
}

}  // namespace ZentrelSDK
