#include "ZTCustomCameraView/ZTCustomImagePickerView/ZTImagePickerShellView.hpp"

#include "ZTEvents.hpp"
#include "ZTExtensions/ZTUIApplication.hpp"

namespace ZentrelSDK {

void ZTImagePickerShellView::viewDidLoad() {
  UIViewController::viewDidLoad();
  openStandartImagePicker();
}

void ZTImagePickerShellView::viewDidAppear(bool animated) {
  UIViewController::viewDidAppear(animated);
  presentPickerOnce();
}

void ZTImagePickerShellView::openStandartImagePicker() {
  imagePicker = std::make_shared<UIKit::UIImagePickerController>();
  imagePicker->setDelegate(weakAs<ZTImagePickerShellView>());
  imagePicker->setSourceType(UIKit::UIImagePickerController::SourceType::photoLibrary);
  imagePicker->setAllowsEditing(false);
  presentPickerOnce();
}

// A controller still being presented cannot present: the picker then follows as soon as
// the shell is on screen.
void ZTImagePickerShellView::presentPickerOnce() {
  if (!imagePicker || pickerPresented_ || isBeingPresented()) return;
  pickerPresented_ = true;
  ZTUIApplication::present(*this, imagePicker, true);
}

void ZTImagePickerShellView::imagePickerController(
    UIKit::UIImagePickerController& /*picker*/,
    const std::map<std::string, Foundation::Any>& info) {
  const auto entry = info.find(UIKit::UIImagePickerController::originalImage);
  if (entry == info.end()) return;
  const auto* image = entry->second.get<std::shared_ptr<UIKit::UIImage>>();
  if (!image || !*image) return;
  pickedImage = *image;
  if (imagePicker) imagePicker->dismiss(true);
  auto weak = weakAs<ZTImagePickerShellView>();
  dismiss(false, [weak] {
    auto self = weak.lock();
    if (self && self->pickedImage)
      ZTEvents::shared()->imagePickedForCroppingEmit(self->pickedImage);
  });
}

void ZTImagePickerShellView::imagePickerControllerDidCancel(
    UIKit::UIImagePickerController& /*picker*/) {
  if (imagePicker) imagePicker->dismiss(true);
  dismiss(false);
}

}  // namespace ZentrelSDK
