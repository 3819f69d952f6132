#include "ZTCustomCameraView/ZTPhotoProcessor.hpp"

#include <Foundation/FileManager.hpp>
#include <ImageIO/CGImageDestination.hpp>
#include <ImageIO/UTType.hpp>
#include <UIKit/UIAlertController.hpp>

#include "ZTCustomCameraView/ZTCameraViewController.hpp"
#include "ZTCustomCameraView/ZTCaptureTime.hpp"
#include "ZTCustomCameraView/ZTCustomImagePickerView/ZTImagePickerShellView.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/PhotoCropper/ZTMediaPhotoCropViewController.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/PhotoPreview/ZTPhotoPreviewViewController.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/PhotoPreview/ZTPhotoPreviewViewModel.hpp"
#include "ZTEvents.hpp"
#include "ZTExtensions/ZTUIApplication.hpp"
#include "ZTLogger.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

const std::shared_ptr<ZTPhotoProcessor>& ZTPhotoProcessor::shared() {
  static const auto instance = std::make_shared<ZTPhotoProcessor>();
  return instance;
}

void ZTPhotoProcessor::showPhotoSourceAlert(std::shared_ptr<UIKit::UIImage> mask,
                                            std::function<void()> onCancel) {
  const auto top = ZTUIApplication::topViewController();
  if (!top) return;
  if (!libraryIsAvailable() && !cameraIsAvailable()) {
    ZTUIUtilites::shared()->errorAlert("Neither camera, nor library is available");
    return;
  }
  auto sheet = std::make_shared<UIKit::UIAlertController>(
      "Source", std::nullopt, UIKit::UIAlertController::Style::actionSheet);
  std::weak_ptr<ZTPhotoProcessor> weak = weak_from_this();
  sheet->addAction(std::make_shared<UIKit::UIAlertAction>(
      "Cancel", UIKit::UIAlertAction::Style::cancel, [onCancel](UIKit::UIAlertAction&) {
        if (onCancel) onCancel();
      }));
  if (cameraIsAvailable()) {
    sheet->addAction(std::make_shared<UIKit::UIAlertAction>(
        "Take photo", UIKit::UIAlertAction::Style::defaultStyle, [weak](UIKit::UIAlertAction&) {
          if (auto self = weak.lock()) self->openCamera();
        }));
  }
  if (libraryIsAvailable()) {
    sheet->addAction(std::make_shared<UIKit::UIAlertAction>(
        "Choose from library", UIKit::UIAlertAction::Style::defaultStyle,
        [weak, mask](UIKit::UIAlertAction&) {
          if (auto self = weak.lock()) self->openImagePicker(mask);
        }));
  }
  ZTUIApplication::present(*top, sheet, true);
}

void ZTPhotoProcessor::openCamera(std::shared_ptr<UIKit::UIImage> mask) {
  const auto top = ZTUIApplication::topViewController();
  if (!top) return;
  if (!cameraIsAvailable()) {
    ZTUIUtilites::shared()->errorAlert("Camera is unavailable");
    return;
  }
  auto camera = std::make_shared<ZTCameraViewController>();
  camera->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
  camera->mediaType = MediaType::photo;
  camera->maskImage = std::move(mask);
  ZTUIApplication::present(*top, camera, true);
  // An abandoned route must not leave a second listener behind.
  ZTEvents::shared()->unregiterEvents(shared_from_this());
  std::weak_ptr<ZTPhotoProcessor> weak = weak_from_this();
  ZTEvents::shared()->imagePickedForPreviewListen(
      shared_from_this(),
      [weak](std::shared_ptr<UIKit::UIImage> image, std::optional<ZTCropModel> cropData) {
        auto self = weak.lock();
        if (!self) return;
        self->openPhotoPreview(SourceType::camera, std::move(image), cropData);
        ZTEvents::shared()->unregiterEvents(self);
      });
}

void ZTPhotoProcessor::openPhotoPreview(SourceType source, std::shared_ptr<UIKit::UIImage> image,
                                        std::optional<ZTCropModel> cropData) {
  const auto top = ZTUIApplication::topViewController();
  if (!top || !image) return;
  auto viewModel =
      std::make_shared<ZTPhotoPreviewViewModel>(std::move(image), source, nullptr, cropData);
  auto controller = std::make_shared<ZTPhotoPreviewViewController>(viewModel);
  controller->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
  ZTUIApplication::present(*top, controller, true);
}

void ZTPhotoProcessor::openImagePicker(std::shared_ptr<UIKit::UIImage> mask) {
  const auto top = ZTUIApplication::topViewController();
  if (!top) return;
  if (!libraryIsAvailable()) {
    ZTUIUtilites::shared()->errorAlert("library is unavailable");
    return;
  }
  ZTUIApplication::present(*top, std::make_shared<ZTImagePickerShellView>(), false);
  // An abandoned route must not leave a second listener behind.
  ZTEvents::shared()->unregiterEvents(shared_from_this());
  std::weak_ptr<ZTPhotoProcessor> weak = weak_from_this();
  ZTEvents::shared()->imagePickedForCroppingListen(
      shared_from_this(), [weak, mask](std::shared_ptr<UIKit::UIImage> image) {
        auto self = weak.lock();
        if (!self) return;
        self->openPhotoCropper(SourceType::photoLibrary, std::move(image), mask);
        ZTEvents::shared()->unregiterEvents(self);
      });
}

void ZTPhotoProcessor::openPhotoCropper(SourceType source,
                                        std::shared_ptr<UIKit::UIImage> croppingImage,
                                        std::shared_ptr<UIKit::UIImage> mask) {
  const auto top = ZTUIApplication::topViewController();
  if (!top) return;
  if (auto onTop = std::dynamic_pointer_cast<ZTMediaPhotoCropViewController>(top)) {
    setupPhotoCropper(*onTop, source, std::move(croppingImage), std::move(mask));
    return;
  }
  const auto& cropper = ZTMediaPhotoCropViewController::shared();
  cropper->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
  ZTUIApplication::present(*top, cropper, true);
  setupPhotoCropper(*cropper, source, std::move(croppingImage), std::move(mask));
}

void ZTPhotoProcessor::setupPhotoCropper(ZTMediaPhotoCropViewController& controller,
                                         SourceType source, std::shared_ptr<UIKit::UIImage> image,
                                         std::shared_ptr<UIKit::UIImage> mask) {
  controller.changeSource(source);
  controller.setImageForCropping(std::move(image));
  if (mask)
    controller.setMaskImage(std::move(mask));
  else
    controller.resetMaskImage();
}

std::shared_ptr<UIKit::UIImage> ZTPhotoProcessor::createImageFrom(
    const std::optional<Foundation::URL>& url) {
  if (!url) return nullptr;
  auto data = Foundation::dataContentsOf(*url);
  if (!data) return nullptr;
  return UIKit::UIImage::withData(data.value());
}

void ZTPhotoProcessor::savePictureToTempLibraryAndShowMediaPreview(
    std::shared_ptr<UIKit::UIImage> image) {
  if (!image) return;
  savePictureIntoLibrary(captureTimeText(), image, [](CaptureResult result) {
    if (const auto* failure = result.failureValue()) {
      ZTUIUtilites::shared()->errorAlert(localizedDescription(*failure));
      return;
    }
    const auto url = result.successValue()->content.asUrl();
    ZTEvents::shared()->mediaCreatedEventEmit(
        std::make_shared<ZTCameraData>(url, MediaType::photo));
  });
}

void ZTPhotoProcessor::savePictureIntoLibrary(
    const std::string& stem, const std::shared_ptr<UIKit::UIImage>& image,
    const std::function<void(CaptureResult)>& completion) {
  auto& files = Foundation::FileManager::defaultManager();
  const auto folder = files.temporaryDirectory().appendingPathComponent(
      std::string(ZTConstants::DOCKS_CACHE_FOLDER));
  // The saved JPEG carries the metadata a PNG of the picture would (size, alpha, resolution).
  const auto properties = image->pngProperties();
  auto jpeg = properties ? imageDataWithEXIF(*image, *properties) : std::nullopt;
  if (!jpeg) {
    completion(CaptureResult::failure(CaptureError::invalidImageData));
    return;
  }
  if (!files.fileExists(folder.path())) {
    if (auto made = files.createDirectory(folder, true); !made) {
      completion(CaptureResult::failure(made.error()));
      return;
    }
  }
  // Never over another picture: a taken name gets a counter.
  auto file = folder.appendingPathComponent(stem + ".jpg");
  for (int n = 1; files.fileExists(file.path()); ++n)
    file = folder.appendingPathComponent(stem + "-" + std::to_string(n) + ".jpg");
  if (auto written = Foundation::writeData(*jpeg, file, {.withoutOverwriting = true}); !written) {
    completion(CaptureResult::failure(written.error()));
    return;
  }
  completion(CaptureResult(file, MediaType::photo));
}

std::optional<Foundation::Data> ZTPhotoProcessor::imageDataWithEXIF(
    const UIKit::UIImage& image, const ImageIO::ImageProperties& properties) {
  auto bitmap = image.cgImage();
  if (!bitmap) return std::nullopt;
  const auto type = ImageIO::UTTypeCreatePreferredIdentifierForTag(
      ImageIO::kUTTagClassMIMEType, "image/jpg", ImageIO::kUTTypeImage);
  if (!type) return std::nullopt;
  auto destination = ImageIO::CGImageDestination::createWithData(*type, 1);
  if (!destination) return std::nullopt;
  destination->addImage(std::move(bitmap), properties);
  if (auto done = destination->finalize(); !done) {
    ZTLogger::errorLog("JPEG encoding failed: " + done.error().description());
    return std::nullopt;
  }
  return destination->data();
}

bool ZTPhotoProcessor::libraryIsAvailable() const {
  return UIKit::UIImagePickerController::isSourceTypeAvailable(SourceType::photoLibrary);
}

bool ZTPhotoProcessor::cameraIsAvailable() const {
  return UIKit::UIImagePickerController::isSourceTypeAvailable(SourceType::camera);
}

}  // namespace ZentrelSDK
