#include "ZTCustomCameraView/ZTMediaPreview/PhotoPreview/ZTPhotoPreviewViewModel.hpp"

#include <cmath>
#include <numbers>

#include <UIKit/UIGraphics.hpp>

#include "ZTCustomCameraView/ZTPhotoProcessor.hpp"

namespace ZentrelSDK {

ZTPhotoPreviewViewModel::ZTPhotoPreviewViewModel(std::shared_ptr<UIKit::UIImage> image,
                                                 SourceType source,
                                                 std::shared_ptr<UIKit::UIImage> mask,
                                                 std::optional<ZTCropModel> cropData)
    : image_(std::move(image)),
      maskImage_(std::move(mask)),
      cropData_(cropData),
      photoSource_(source) {}

void ZTPhotoPreviewViewModel::configure(const std::shared_ptr<ZTPhotoPreview>& view) {
  delegate_ = view;
  cropImageIfNeeded();
  if (!view) return;
  view->setImage(image_);
  view->rotateImage(rotatingAngle_);
}

void ZTPhotoPreviewViewModel::cropImageIfNeeded() {
  if (!cropData_ || !image_) return;
  const auto zone = cropData_->calculateNewCropZone(image_->size());
  const auto bitmap = image_->cgImage();
  auto cut = bitmap ? bitmap->cropping(zone) : nullptr;
  if (!cut) return;
  // The cut shows in its bitmap's own axes; the user turns it upright.
  image_ = UIKit::UIImage::withCGImage(std::move(cut), 1, UIKit::UIImage::Orientation::Up);
}

void ZTPhotoPreviewViewModel::rotateImage90DegreesToRight() {
  const UIKit::CGFloat angle = rotatingAngle_ + 90;
  rotatingAngle_ = angle > 360 ? angle - 360 : angle;
  if (auto view = delegate()) view->rotateImage(rotatingAngle_);
}

void ZTPhotoPreviewViewModel::retakeImage() {
  auto view = delegate();
  if (!view) return;
  std::weak_ptr<ZTPhotoPreviewViewModel> weak = weak_from_this();
  view->dismissController([weak] {
    auto self = weak.lock();
    if (!self) return;
    if (self->photoSource_ == SourceType::camera)
      ZTPhotoProcessor::shared()->openCamera(self->maskImage_);
    else
      ZTPhotoProcessor::shared()->openImagePicker(self->maskImage_);
  });
}

void ZTPhotoPreviewViewModel::confirmImage() {
  auto rendered = rotateImage();
  auto view = delegate();
  if (!view) return;
  view->dismissController([rendered] {
    ZTPhotoProcessor::shared()->savePictureToTempLibraryAndShowMediaPreview(rendered);
  });
}

std::shared_ptr<UIKit::UIImage> ZTPhotoPreviewViewModel::rotateImage() const {
  if (!image_) return image_;
  const UIKit::CGFloat radians = rotatingAngle_ / 180 * std::numbers::pi;
  const UIKit::CGSize size = image_->size();
  const auto turned =
      UIKit::applying(UIKit::CGRect{{0, 0}, size}, UIKit::CGAffineTransform::rotation(radians));
  const UIKit::CGSize rotated{std::floor(turned.size.width), std::floor(turned.size.height)};
  UIKit::UIGraphicsBeginImageContextWithOptions(rotated, false, image_->scale());
  auto context = UIKit::UIGraphicsGetCurrentContext();
  if (!context) {
    UIKit::UIGraphicsEndImageContext();
    return image_;
  }
  context->translateBy(rotated.width / 2, rotated.height / 2);
  context->rotate(radians);
  image_->draw(UIKit::CGRect::make(-size.width / 2, -size.height / 2, size.width, size.height));
  auto result = UIKit::UIGraphicsGetImageFromCurrentImageContext();
  UIKit::UIGraphicsEndImageContext();
  return result ? result : image_;
}

}  // namespace ZentrelSDK
