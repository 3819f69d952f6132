#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <Foundation/Data.hpp>
#include <Foundation/URL.hpp>
#include <ImageIO/ImageProperties.hpp>
#include <UIKit/UIImage.hpp>
#include <UIKit/UIImagePickerController.hpp>

#include "ZTCustomCameraView/ZTCameraViewManager/CaptureResult.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/PhotoCropper/ZTCropModel.hpp"

namespace ZentrelSDK {

class ZTMediaPhotoCropViewController;

// Runs the capture of one document side: the source sheet, the camera route (capture screen,
// photo preview) or the library route (picker shell, crop screen), then stores the picture as
// a JPEG in the "ZentrelDock" cache folder and announces it as media-created. Its only state
// is the listeners it holds on the event bus. Main thread only.
class ZTPhotoProcessor : public std::enable_shared_from_this<ZTPhotoProcessor> {
 public:
  using SourceType = UIKit::UIImagePickerController::SourceType;

  // Made on first use, kept until the process ends.
  static const std::shared_ptr<ZTPhotoProcessor>& shared();
  virtual ~ZTPhotoProcessor() = default;

  // The sheet "Source": "Cancel", then "Take photo" and "Choose from library" as available.
  virtual void showPhotoSourceAlert(std::shared_ptr<UIKit::UIImage> mask = nullptr,
                                    std::function<void()> onCancel = nullptr);
  virtual void openPhotoCropper(SourceType source, std::shared_ptr<UIKit::UIImage> croppingImage,
                                std::shared_ptr<UIKit::UIImage> mask = nullptr);
  virtual void openPhotoPreview(SourceType source, std::shared_ptr<UIKit::UIImage> image,
                                std::optional<ZTCropModel> cropData);
  virtual void openImagePicker(std::shared_ptr<UIKit::UIImage> mask = nullptr);
  virtual void openCamera(std::shared_ptr<UIKit::UIImage> mask = nullptr);
  // The image in the file; none for no URL, a file that cannot be read or is not an image.
  virtual std::shared_ptr<UIKit::UIImage> createImageFrom(
      const std::optional<Foundation::URL>& url);
  // Stores `image` under the current time and emits media-created; a failure shows an alert.
  virtual void savePictureToTempLibraryAndShowMediaPreview(std::shared_ptr<UIKit::UIImage> image);

 private:
  void setupPhotoCropper(ZTMediaPhotoCropViewController& controller, SourceType source,
                         std::shared_ptr<UIKit::UIImage> image,
                         std::shared_ptr<UIKit::UIImage> mask);
  void savePictureIntoLibrary(const std::string& stem, const std::shared_ptr<UIKit::UIImage>& image,
                              const std::function<void(CaptureResult)>& completion);
  // The JPEG of the image's bitmap, written with the properties of its PNG form.
  std::optional<Foundation::Data> imageDataWithEXIF(const UIKit::UIImage& image,
                                                    const ImageIO::ImageProperties& properties);
  bool libraryIsAvailable() const;
  bool cameraIsAvailable() const;
};

}  // namespace ZentrelSDK
