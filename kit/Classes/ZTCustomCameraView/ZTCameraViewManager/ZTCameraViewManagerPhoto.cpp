#include <Foundation/FileManager.hpp>
#include <Foundation/UUID.hpp>
#include <ImageIO/CGImageDestination.hpp>
#include <ImageIO/CGImageSource.hpp>
#include <ImageIO/UTType.hpp>
#include <Photos/PHTypes.hpp>
#include <QuartzCore/CABasicAnimation.hpp>
#include <QuartzCore/CATransaction.hpp>

#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManager.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManagerInternal.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/ZTPHPhotoLibrary.hpp"
#include "ZTUtilites/ZTConstants.hpp"

// Still photos: one capture at a time on the session queue, each matched to its callback,
// then the shutter and a JPEG with the capture's own properties in the kit's cache folder.

namespace ZentrelSDK {

using AVFoundation::AVMediaType;
using Dispatch::DispatchQueue;
using Foundation::CocoaError;

namespace {
CaptureResult failed(CaptureError error) {
  return CaptureResult::failure(error);
}
}  // namespace

using Values = CameraSettingValues;

void ZTCameraViewManager::capturePhotoWithCompletion(CaptureCompletion completion) {
  parts_->photo.capture(std::move(completion));
}

void ZTCameraViewManager::PhotoCapture::capture(CaptureCompletion completion) {
  const bool setUp = parts_.session.isSetUp();
  const auto mode = parts_.settings.get(&Values::cameraOutputMode);
  const bool refused = !setUp || mode != CameraOutputMode::stillImage;
  if (!setUp) {
    parts_.show(localized("No capture session setup"), localized("I can't take any picture"));
  } else if (mode != CameraOutputMode::stillImage) {
    parts_.show(localized("Capture session output mode video"),
                localized("I can't take any picture"));
  }
  if (refused) {
    // The caller still hears of it, on the camera's queue like every capture failure.
    parts_.sessionQueue.async([completion] {
      if (completion) completion(failed(CaptureError::noVideoConnection));
    });
    return;
  }
  parts_.sessionQueue.async([weak = parts_.weak(), completion] {
    std::shared_ptr<Request> request;
    std::optional<CaptureResult> result;
    if (auto self = weak.lock()) {
      auto started = Parts::of(*self).photo.startCapture();
      if (started) {
        request = started.value();
      } else {
        result = started.error();
      }
    } else {
      result = failed(CaptureError::noImageData);
    }
    // The wait holds no manager, so dropping it mid-capture fails the request and ends it.
    if (request) {
      result = request->wait();
      if (auto self = weak.lock()) Parts::of(*self).photo.endCapture(request);
    }
    if (completion) completion(*result);
  });
}

Foundation::Result<std::shared_ptr<ZTCameraViewManager::PhotoCapture::Request>, CaptureResult>
ZTCameraViewManager::PhotoCapture::startCapture() {
  auto output = setImageOutput();
  auto connection = output->connection(AVMediaType::video);
  if (!connection || !connection->isEnabled()) {
    return Foundation::failure(failed(CaptureError::noImageData));
  }
  prepareForCapturing(*connection);
  AVFoundation::AVCapturePhotoSettings settings;
  settings.isAutoStillImageStabilizationEnabled = true;
  settings.flashMode = parts_.flip.pictureFlashMode();
  double timeout = 0;
  auto request = std::make_shared<Request>(settings.uniqueID);
  {
    std::lock_guard lock(mutex_);
    timeout = timeout_;
    pending_ = request;
  }
  output->capturePhoto(settings, std::make_shared<CameraCallbackForwarder>(parts_.weak()));
  DispatchQueue::global().asyncAfter(timeout, [weak = std::weak_ptr(request)] {
    if (auto pending = weak.lock()) pending->finish(failed(CaptureError::noImageData));
  });
  return Foundation::success(request);
}

void ZTCameraViewManager::PhotoCapture::endCapture(const std::shared_ptr<Request>& request) {
  std::lock_guard lock(mutex_);
  if (pending_ == request) pending_.reset();
}

std::shared_ptr<AVFoundation::AVCapturePhotoOutput> ZTCameraViewManager::PhotoCapture::output()
    const {
  std::lock_guard lock(mutex_);
  return output_;
}

std::shared_ptr<AVFoundation::AVCapturePhotoOutput>
ZTCameraViewManager::PhotoCapture::makeOutput() {
  if (auto current = output()) return current;
  auto made = AVFoundation::AVCapturePhotoOutput::make();
  std::lock_guard lock(mutex_);
  if (!output_) output_ = std::move(made);
  return output_;
}

double ZTCameraViewManager::PhotoCapture::timeout() const {
  std::lock_guard lock(mutex_);
  return timeout_;
}

void ZTCameraViewManager::PhotoCapture::setTimeout(double seconds) {
  // A wait that never ends, or ends before it starts, is no bound.
  if (!(seconds > 0) || seconds > 24 * 3600) return;
  std::lock_guard lock(mutex_);
  timeout_ = seconds;
}

void ZTCameraViewManager::PhotoCapture::remove() {
  std::shared_ptr<Request> pending;
  {
    std::lock_guard lock(mutex_);
    pending = std::move(pending_);
    output_.reset();
  }
  if (pending) pending->finish(failed(CaptureError::noImageData));
}

std::shared_ptr<AVFoundation::AVCapturePhotoOutput>
ZTCameraViewManager::PhotoCapture::setImageOutput() {
  if (auto current = output()) {
    auto connection = current->connection(AVMediaType::video);
    if (connection && connection->isActive()) return current;
  }
  auto session = parts_.session.captureSession();
  auto output = AVFoundation::AVCapturePhotoOutput::make();
  if (session && session->canAddOutput(output)) {
    session->beginConfiguration();
    session->addOutput(output);
    session->commitConfiguration();
  }
  std::lock_guard lock(mutex_);
  output_ = output;
  return output;
}

void ZTCameraViewManager::PhotoCapture::prepareForCapturing(
    AVFoundation::AVCaptureConnection& connection) {
  const bool mirror = parts_.settings.mirrorsFrontCamera();
  if (mirror && connection.isVideoMirroringSupported()) connection.setVideoMirrored(true);
  if (connection.isVideoOrientationSupported()) {
    connection.setVideoOrientation(parts_.session._currentCaptureVideoOrientation());
  }
}

void ZTCameraViewManager::photoOutput(AVFoundation::AVCapturePhotoOutput& /*output*/,
                                      const AVFoundation::AVCapturePhoto& photo,
                                      const std::optional<Foundation::NSError>& error) {
  parts_->photo.didFinish(photo, error);
}

void ZTCameraViewManager::PhotoCapture::didFinish(const AVFoundation::AVCapturePhoto& photo,
                                                  const std::optional<Foundation::NSError>& error) {
  std::shared_ptr<Request> request;
  {
    std::lock_guard lock(mutex_);
    if (pending_ && pending_->id == photo.resolvedSettings().uniqueID) request = pending_;
  }
  // A callback for no waiting capture (late, repeated, or after removal) is dropped.
  if (!request) return;
  if (error) {
    if (request->finish(failed(CaptureError::noImageData))) {
      parts_.show(localized("Error"), error->localizedDescription());
    }
    return;
  }
  const auto& data = photo.fileDataRepresentation();
  // The markers tell whether the bytes are a picture; the full decode comes with the save.
  if (!data || ImageIO::CGImageSource::createWithData(*data)->count() == 0) {
    request->finish(failed(CaptureError::noImageData));
    return;
  }
  request->finish(CaptureResult(*data, MediaType::photo));
}

void ZTCameraViewManager::captureAndSavePictureWithCompletion(const std::string& picturePrefix,
                                                              CaptureCompletion completion) {
  parts_->photo.captureAndSave(picturePrefix, std::move(completion));
}

void ZTCameraViewManager::PhotoCapture::captureAndSave(const std::string& picturePrefix,
                                                       CaptureCompletion completion) {
  auto weak = parts_.weak();
  capture([weak, picturePrefix, completion](const CaptureResult& result) {
    const auto* success = result.successValue();
    const auto* bytes =
        success ? std::get_if<Foundation::Data>(&success->content.value()) : nullptr;
    auto self = weak.lock();
    if (!bytes || !self) {
      const auto* failure = result.failureValue();
      if (completion)
        completion(failure && self ? CaptureResult::failure(*failure)
                                   : failed(CaptureError::noImageData));
      return;
    }
    auto& parts = Parts::of(*self);
    if (!parts.settings.get(&Values::animateShutter)) {
      parts.photo.savePictureIntoLibrary(picturePrefix, *bytes, completion, parts.sessionQueue);
      return;
    }
    auto save = [weak, picturePrefix, data = *bytes, completion]() mutable {
      auto manager = weak.lock();
      if (!manager) {
        if (completion) completion(failed(CaptureError::noImageData));
        return;
      }
      // The encoding runs on the camera's queue, keeping the main thread free; the report
      // comes back to the main queue.
      Parts::of(*manager).sessionQueue.async(
          [weak, picturePrefix, data = std::move(data), completion] {
            if (auto again = weak.lock()) {
              Parts::of(*again).photo.savePictureIntoLibrary(picturePrefix, data, completion,
                                                             DispatchQueue::main());
            } else if (completion) {
              completion(failed(CaptureError::noImageData));
            }
          });
    };
    parts.photo._performShutterAnimation(std::move(save));
  });
}

void ZTCameraViewManager::PhotoCapture::_performShutterAnimation(std::function<void()> completion) {
  auto layer = parts_.session.previewLayer();
  if (!layer) {
    // Nothing to animate: the photo still goes on, as it would after the animation.
    if (completion) DispatchQueue::main().async(std::move(completion));
    return;
  }
  DispatchQueue::main().async([layer, completion = std::move(completion)]() mutable {
    QuartzCore::CATransaction::begin();
    if (completion) QuartzCore::CATransaction::setCompletionBlock(std::move(completion));
    auto out = std::make_shared<QuartzCore::CABasicAnimation>("opacity");
    out->fromValue = UIKit::CGFloat(1.0);
    out->toValue = UIKit::CGFloat(0.0);
    // Under a key of its own, so the fade-in does not replace it.
    layer->add(out, "shutterOut");
    auto in = std::make_shared<QuartzCore::CABasicAnimation>("opacity");
    in->fromValue = UIKit::CGFloat(0.0);
    in->toValue = UIKit::CGFloat(1.0);
    in->beginTime = QuartzCore::CACurrentMediaTime() + 0.2;
    layer->add(in, "opacity");
    QuartzCore::CATransaction::commit();
  });
}

Foundation::Result<Foundation::URL, CaptureFailure> ZTCameraViewManager::PhotoCapture::writePicture(
    const std::string& prefix, Foundation::Data bytes) const {
  // The prefix is one file name inside the cache folder, nothing else.
  const bool invalid = prefix.find('/') != std::string::npos ||
                       prefix.find('\0') != std::string::npos || prefix == "." || prefix == "..";
  if (invalid) {
    return Foundation::failure(CaptureFailure(CocoaError{CocoaError::Code::FileWriteInvalidFileName,
                                                         CocoaError::Operation::Write, prefix}));
  }
  const auto name = (prefix.empty() ? Foundation::UUID().uuidString() : prefix) + ".jpg";

  const auto source = ImageIO::CGImageSource::createWithData(std::move(bytes));
  auto bitmap = source->createImage(0);
  if (!bitmap) return Foundation::failure(CaptureFailure(Foundation::NSError()));
  auto properties = source->copyProperties(0);
  if (!properties) return Foundation::failure(CaptureFailure(CaptureError::invalidImageData));
  auto image = fixOrientation(UIKit::UIImage::withCGImage(
      bitmap.value(), 1,
      UIKit::UIImage::orientationFromExif(properties.value().orientation.value_or(1))));

  // The capture's bitmap with the capture's own properties, orientation tag included.
  const auto jpeg = ImageIO::UTTypeCreatePreferredIdentifierForTag(
      ImageIO::kUTTagClassMIMEType, "image/jpg", std::string_view(ImageIO::kUTTypeImage));
  auto destination = jpeg ? ImageIO::CGImageDestination::createWithData(*jpeg, 1) : nullptr;
  if (!destination || !image || !image->cgImage()) {
    return Foundation::failure(CaptureFailure(CaptureError::invalidImageData));
  }
  destination->addImage(image->cgImage(), properties.value());
  if (!destination->finalize())
    return Foundation::failure(CaptureFailure(CaptureError::invalidImageData));
  const auto encoded = destination->data();
  if (encoded.empty()) return Foundation::failure(CaptureFailure(CaptureError::invalidImageData));

  auto& files = Foundation::FileManager::defaultManager();
  const auto folder = files.temporaryDirectory().appendingPathComponent(
      std::string(ZTConstants::DOCKS_CACHE_FOLDER), true);
  if (!files.fileExists(folder.path())) {
    if (auto made = files.createDirectory(folder, true); !made)
      return Foundation::failure(CaptureFailure(made.error()));
  }
  const auto file = folder.appendingPathComponent(name);
  if (auto written = Foundation::writeData(encoded, file); !written) {
    return Foundation::failure(CaptureFailure(written.error()));
  }
  return Foundation::success(file);
}

void ZTCameraViewManager::PhotoCapture::savePictureIntoLibrary(
    const std::string& prefix, Foundation::Data bytes, const CaptureCompletion& completion,
    const Dispatch::DispatchQueue& reportQueue) {
  auto written = writePicture(prefix, std::move(bytes));
  auto report = [weak = parts_.weak(), written = std::move(written), completion] {
    if (!written) {
      if (completion) completion(CaptureResult::failure(written.error()));
      return;
    }
    const auto url = written.value();
    // The URL comes first; the library's answer, if any, follows it.
    if (completion) completion(CaptureResult(url, MediaType::photo));
    auto self = weak.lock();
    if (!self || !self->writeFilesToPhoneLibrary()) return;
    if (Photos::PHPhotoLibrary::authorizationStatus() ==
        Photos::PHAuthorizationStatus::authorized) {
      Parts::of(*self).photo._saveImageToLibrary(url, completion);
      return;
    }
    Photos::PHPhotoLibrary::requestAuthorization([weak, url, completion](auto status) {
      auto manager = weak.lock();
      if (manager && status == Photos::PHAuthorizationStatus::authorized) {
        Parts::of(*manager).photo._saveImageToLibrary(url, completion);
      }
    });
  };
  if (reportQueue.isCurrent()) {
    report();
  } else {
    reportQueue.async(std::move(report));
  }
}

void ZTCameraViewManager::PhotoCapture::_saveImageToLibrary(const Foundation::URL& fileURL,
                                                            const CaptureCompletion& completion) {
  const auto date = Foundation::Date::now();
  auto [library, album] = parts_.libraryAndAlbum(MediaType::photo);
  if (!library) return;
  ZTPHPhotoLibrary::saveImageAtURL(
      library, fileURL, album,
      [completion](std::shared_ptr<Photos::PHAsset> asset) {
        if (!completion) return;
        completion(asset ? CaptureResult(std::move(asset), MediaType::photo)
                         : failed(CaptureError::assetNotSaved));
      },
      ZTPHPhotoLibrary::SaveDetails{date, nullptr});
}

std::shared_ptr<UIKit::UIImage> ZTCameraViewManager::PhotoCapture::fixOrientation(
    std::shared_ptr<UIKit::UIImage> image) const {
  using Orientation = UIKit::UIImage::Orientation;
  if (!image || !image->hasPixels()) return image;
  const auto current = image->imageOrientation();
  const bool mirrored =
      current == Orientation::UpMirrored || current == Orientation::DownMirrored ||
      current == Orientation::LeftMirrored || current == Orientation::RightMirrored;
  const auto wanted = _imageOrientation(parts_.session.deviceOrientation(), mirrored);
  if (current == wanted) return image;
  return UIKit::UIImage::withCGImage(image->cgImage(), image->scale(), wanted);
}

UIKit::UIImage::Orientation ZTCameraViewManager::PhotoCapture::_imageOrientation(
    UIKit::UIDeviceOrientation orientation, bool isMirrored) {
  using Orientation = UIKit::UIImage::Orientation;
  switch (orientation) {
    case UIKit::UIDeviceOrientation::landscapeLeft:
      return isMirrored ? Orientation::UpMirrored : Orientation::Up;
    case UIKit::UIDeviceOrientation::landscapeRight:
      return isMirrored ? Orientation::DownMirrored : Orientation::Down;
    default:
      return isMirrored ? Orientation::LeftMirrored : Orientation::Right;
  }
}

}  // namespace ZentrelSDK
