#include "ZTDocuments/PreviewLoadedDocument/ZTPreviewLoadedDocumentViewController.hpp"

#include <utility>

#include <Foundation/Bundle.hpp>
#include <UIKit/InterfaceBinder.hpp>

#include "ZTDocuments/ZTDocumentStatusLabel.hpp"
#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

namespace {
constexpr const char* kNibName = "ZTPreviewLoadedDocumentViewController";
}  // namespace

ZTPreviewLoadedDocumentViewController::ZTPreviewLoadedDocumentViewController(
    std::shared_ptr<ZTPreviewLoadedModel> viewModel)
    : UIViewController(kNibName, Foundation::Bundle::forIdentifier(ZTConstants::BundleID)),
      viewModel(std::move(viewModel)) {}

void ZTPreviewLoadedDocumentViewController::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("backButton", backButton);
  binder.outlet("docTypeLabel", docTypeLabel);
  binder.outlet("docStatusLabel", docStatusLabel);
  binder.outlet("addDocumentButton", addDocumentButton);
  binder.outlet("spinnerFrontImage", spinnerFrontImage);
  binder.outlet("spinnerBacksideImage", spinnerBacksideImage);
  binder.outlet("frontsideImageView", frontsideImageView);
  binder.outlet("backsideImageView", backsideImageView);
  const auto button =
      [this](void (ZTPreviewLoadedDocumentViewController::*handler)(UIKit::UIButton&)) {
        return [this, handler](UIKit::UIControl& sender) {
          if (auto* pressed = dynamic_cast<UIKit::UIButton*>(&sender)) (this->*handler)(*pressed);
        };
      };
  binder.action("dismissAction:", button(&ZTPreviewLoadedDocumentViewController::dismissAction));
  binder.action("addNewDocumentAction:",
                button(&ZTPreviewLoadedDocumentViewController::addNewDocumentAction));
}

void ZTPreviewLoadedDocumentViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  if (viewModel) viewModel->setupDelegate(sharedAs<ZTPreviewLoadedDocumentViewController>());
  configureUI();
}

void ZTPreviewLoadedDocumentViewController::configureUI() {
  if (auto button = backButton.lock())
    button->setImage(ZTImageFromLib::makeLibraryImage("arrowBack"), UIKit::UIButton::State::normal);
  if (auto label = docTypeLabel.lock(); label && viewModel)
    label->setText(getLocalize(viewModel->documentType()));
  // Adding from here is not built: the button stays hidden.
  if (auto button = addDocumentButton.lock()) {
    button->setHidden(true);
    button->setBackgroundColor(UIKit::UIColor::lightGray());
    button->layer()->cornerRadius = 4.0;
  }
}

void ZTPreviewLoadedDocumentViewController::configureDocStatus() {
  auto label = docStatusLabel.lock();
  if (!viewModel || !label) return;
  if (const auto status = viewModel->documentStatus()) showDocumentStatus(*label, *status);
}

void ZTPreviewLoadedDocumentViewController::setFrontsidePhoto() {
  if (auto view = frontsideImageView.lock())
    view->setImage(viewModel ? viewModel->frontSideImage() : nullptr);
  if (auto spinner = spinnerFrontImage.lock()) spinner->stopAnimating();
}

void ZTPreviewLoadedDocumentViewController::setBacksidePhoto() {
  if (auto view = backsideImageView.lock())
    view->setImage(viewModel ? viewModel->backSideImage() : nullptr);
  if (auto spinner = spinnerBacksideImage.lock()) spinner->stopAnimating();
}

void ZTPreviewLoadedDocumentViewController::documentStatusDidUpdate() {
  const auto status = viewModel ? viewModel->documentStatus() : std::nullopt;
  if (auto label = docStatusLabel.lock()) label->setText(status ? getLocalize(*status) : "");
  configureDocStatus();
}

void ZTPreviewLoadedDocumentViewController::dismiss(std::function<void()> withAction) {
  UIViewController::dismiss(true, [withAction = std::move(withAction)] {
    if (withAction) withAction();
  });
}

void ZTPreviewLoadedDocumentViewController::showError(const std::string& error) {
  ZTUIUtilites::shared()->errorAlert(error);
}

void ZTPreviewLoadedDocumentViewController::addNewDocumentAction(UIKit::UIButton& /*sender*/) {
  if (viewModel) viewModel->addAnotherDocument();
}

void ZTPreviewLoadedDocumentViewController::dismissAction(UIKit::UIButton& /*sender*/) {
  UIViewController::dismiss(true);
}

}  // namespace ZentrelSDK
