#include "ZTCustomCameraView/ZTMediaPreview/PhotoPreview/ZTPhotoPreviewViewController.hpp"

#include <numbers>

#include <Foundation/Bundle.hpp>
#include <UIKit/InterfaceBinder.hpp>

#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

ZTPhotoPreviewViewController::ZTPhotoPreviewViewController(
    std::shared_ptr<ZTPhotoPreviewModel> viewModel)
    : UIViewController("ZTPhotoPreviewViewController",
                       Foundation::Bundle::forIdentifier(ZTConstants::BundleID)),
      viewModel(std::move(viewModel)) {}

void ZTPhotoPreviewViewController::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("turnToRightButton", turnToRightButton);
  binder.outlet("photoImageView", photoImageView);
  binder.outlet("constraintPhotoAspectRatio", constraintPhotoAspectRatio);
  binder.action("retakeAction:", [this](UIKit::UIControl&) { retakeAction(); });
  binder.action("turnTo90Action:", [this](UIKit::UIControl&) { turnTo90Action(); });
  binder.action("addAction:", [this](UIKit::UIControl&) { addAction(); });
}

void ZTPhotoPreviewViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  if (viewModel) viewModel->configure(sharedAs<ZTPhotoPreviewViewController>());
  configureViews();
}

void ZTPhotoPreviewViewController::configureViews() {
  if (auto button = turnToRightButton.lock())
    button->setImage(ZTImageFromLib::makeLibraryImage("turn90right"),
                     UIKit::UIButton::State::normal);
}

void ZTPhotoPreviewViewController::retakeAction() {
  if (viewModel) viewModel->retakeImage();
}

void ZTPhotoPreviewViewController::turnTo90Action() {
  if (viewModel) viewModel->rotateImage90DegreesToRight();
}

void ZTPhotoPreviewViewController::addAction() {
  if (viewModel) viewModel->confirmImage();
}

void ZTPhotoPreviewViewController::setImage(std::shared_ptr<UIKit::UIImage> image) {
  auto view = photoImageView.lock();
  if (!view) return;
  view->setImage(image);
  if (!image) return;
  const auto size = image->size();
  using Attribute = UIKit::NSLayoutConstraint::Attribute;
  constraintPhotoAspectRatio = std::make_shared<UIKit::NSLayoutConstraint>(
      view, Attribute::height, UIKit::NSLayoutConstraint::Relation::equal, view, Attribute::width,
      size.height / size.width, 0);
}

void ZTPhotoPreviewViewController::rotateImage(UIKit::CGFloat angle) {
  UIKit::CGFloat scale = 1;
  if ((angle == 90 || angle == 270) && constraintPhotoAspectRatio)
    scale = 1 / constraintPhotoAspectRatio->multiplier();
  auto weak = weakAs<ZTPhotoPreviewViewController>();
  UIKit::UIView::animate(0.5, [weak, angle, scale] {
    auto self = weak.lock();
    auto view = self ? self->photoImageView.lock() : nullptr;
    if (!view) return;
    view->setTransform(
        UIKit::CGAffineTransform::rotation(angle / 180 * std::numbers::pi).scaledBy(scale, scale));
  });
}

void ZTPhotoPreviewViewController::dismissController(std::function<void()> event) {
  dismiss(true, std::move(event));
}

}  // namespace ZentrelSDK
