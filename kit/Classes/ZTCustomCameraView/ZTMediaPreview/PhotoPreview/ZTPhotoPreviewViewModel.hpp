#pragma once

#include "ZTCustomCameraView/ZTMediaPreview/PhotoPreview/ZTPhotoPreview.hpp"

namespace ZentrelSDK {

// Cuts a camera photo to the capture frame, turns it by quarter turns and, on confirm,
// renders the turned photo and hands it to the photo processor's store. Main thread only.
class ZTPhotoPreviewViewModel : public ZTPhotoPreviewModel,
                                public std::enable_shared_from_this<ZTPhotoPreviewViewModel> {
 public:
  using SourceType = UIKit::UIImagePickerController::SourceType;

  ZTPhotoPreviewViewModel(std::shared_ptr<UIKit::UIImage> image, SourceType source,
                          std::shared_ptr<UIKit::UIImage> mask,
                          std::optional<ZTCropModel> cropData = std::nullopt);

  std::shared_ptr<ZTPhotoPreview> delegate() const override { return delegate_.lock(); }
  UIKit::CGFloat rotatingAngle() const override { return rotatingAngle_; }
  std::shared_ptr<UIKit::UIImage> image() const override { return image_; }
  std::shared_ptr<UIKit::UIImage> maskImage() const override { return maskImage_; }
  std::optional<ZTCropModel> cropData() const override { return cropData_; }
  SourceType photoSource() const override { return photoSource_; }

  void configure(const std::shared_ptr<ZTPhotoPreview>& view) override;
  void retakeImage() override;
  // 90, 180, 270, 360, then 90 again: the angle never returns to 0.
  void rotateImage90DegreesToRight() override;
  void confirmImage() override;

 private:
  void cropImageIfNeeded();
  // The photo drawn turned by the angle, its size rounded down; the photo itself when no
  // drawing can be had.
  std::shared_ptr<UIKit::UIImage> rotateImage() const;

  std::weak_ptr<ZTPhotoPreview> delegate_;
  std::shared_ptr<UIKit::UIImage> image_;
  std::shared_ptr<UIKit::UIImage> maskImage_;
  UIKit::CGFloat rotatingAngle_ = 0;
  std::optional<ZTCropModel> cropData_;
  SourceType photoSource_;
};

}  // namespace ZentrelSDK
