#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <UIKit/UIImage.hpp>
#include <UIKit/UIImagePickerController.hpp>

#include "ZTCustomCameraView/ZTMediaPreview/PhotoCropper/ZTCropModel.hpp"

namespace ZentrelSDK {

// The photo preview screen as its view model sees it.
class ZTPhotoPreview {
 public:
  virtual ~ZTPhotoPreview() = default;
  virtual void setImage(std::shared_ptr<UIKit::UIImage> image) = 0;
  // Degrees.
  virtual void rotateImage(UIKit::CGFloat angle) = 0;
  // Closes the screen, then runs `event`.
  virtual void dismissController(std::function<void()> event) = 0;
};

// The photo preview's view model as its screen sees it.
class ZTPhotoPreviewModel {
 public:
  virtual ~ZTPhotoPreviewModel() = default;
  virtual std::shared_ptr<ZTPhotoPreview> delegate() const = 0;
  virtual UIKit::CGFloat rotatingAngle() const = 0;
  virtual std::shared_ptr<UIKit::UIImage> image() const = 0;
  virtual std::shared_ptr<UIKit::UIImage> maskImage() const = 0;
  virtual std::optional<ZTCropModel> cropData() const = 0;
  virtual UIKit::UIImagePickerController::SourceType photoSource() const = 0;
  virtual void configure(const std::shared_ptr<ZTPhotoPreview>& view) = 0;
  virtual void retakeImage() = 0;
  virtual void rotateImage90DegreesToRight() = 0;
  virtual void confirmImage() = 0;
};

}  // namespace ZentrelSDK
