#include "AVFoundation/AVCapturePhotoOutput.hpp"

#include <atomic>
#include <cstring>

#include "AVFoundation/AVCaptureSession.hpp"
#include "AVFoundation/SimulatedCapture.hpp"
#include "Dispatch/DispatchQueue.hpp"
#include "ImageIO/CGImageDestination.hpp"
#include "ImageIO/CGImageSource.hpp"
#include "ImageIO/UTType.hpp"

namespace AVFoundation {

namespace {
using Fault = SimulatedCapture::PhotoFault;

std::shared_ptr<const CoreGraphics::CGImage> mirroredHorizontally(
    const CoreGraphics::CGImage& image) {
  const std::size_t width = image.width();
  auto pixels = std::make_shared<CoreGraphics::CGImage::Pixels>(image.pixels().size());
  const auto* src = image.pixels().data();
  auto* dst = pixels->data();
  for (std::size_t y = 0; y < image.height(); ++y) {
    const auto* row = src + y * width * 4;
    auto* out = dst + y * width * 4;
    for (std::size_t x = 0; x < width; ++x) std::memcpy(out + (width - 1 - x) * 4, row + x * 4, 4);
  }
  return std::make_shared<const CoreGraphics::CGImage>(width, image.height(), std::move(pixels));
}

// The sensor's frame as the camera's JPEG: decoded or generated, mirrored when asked, with
// the orientation in its EXIF block.
Foundation::Result<Foundation::Data, Foundation::NSError> encodeFrame(
    const SimulatedCapture::Frame& frame, bool mirrored, int orientation) {
  std::shared_ptr<const CoreGraphics::CGImage> image;
  if (frame.jpeg) {
    auto decoded = ImageIO::CGImageSource::createWithData(*frame.jpeg)->createImage(0);
    if (!decoded)
      return Foundation::failure(avError(AVErrorUnknown, decoded.error().description()));
    image = std::move(decoded).value();
  } else {
    image = SimulatedCapture::pattern(frame.number, frame.width, frame.height);
  }
  if (!image) return Foundation::failure(avError(AVErrorUnknown, "No frame"));
  if (mirrored) image = mirroredHorizontally(*image);
  auto destination = ImageIO::CGImageDestination::createWithData(ImageIO::kUTTypeJPEG, 1);
  ImageIO::ImageProperties properties;
  properties.orientation = orientation;
  properties.lossyCompressionQuality = AVCapturePhotoOutput::kQuality;
  destination->addImage(std::move(image), properties);
  if (auto done = destination->finalize(); !done)
    return Foundation::failure(avError(AVErrorUnknown, done.error().description()));
  return Foundation::success(destination->data());
}
}  // namespace

std::int64_t AVCapturePhotoSettings::next() {
  static std::atomic<std::int64_t> counter{0};
  return ++counter;
}

std::vector<AVCaptureDevice::FlashMode> AVCapturePhotoOutput::supportedFlashModes() const {
  auto owner = session();
  auto device = owner ? owner->videoDevice() : nullptr;
  if (!device || !device->hasFlash()) return {AVCaptureDevice::FlashMode::off};
  return {AVCaptureDevice::FlashMode::off, AVCaptureDevice::FlashMode::on,
          AVCaptureDevice::FlashMode::automatic};
}

void AVCapturePhotoOutput::capturePhoto(const AVCapturePhotoSettings& settings,
                                        std::shared_ptr<AVCapturePhotoCaptureDelegate> delegate) {
  auto self = std::static_pointer_cast<AVCapturePhotoOutput>(shared_from_this());
  auto deliver = [self, settings, delegate](std::optional<Foundation::Data> data,
                                            std::optional<Foundation::NSError> error) {
    if (delegate) delegate->photoOutput(*self, AVCapturePhoto(std::move(data), settings), error);
  };
  auto& queue = Dispatch::DispatchQueue::global(Dispatch::QoS::UserInitiated);
  auto& hardware = SimulatedCapture::shared();
  const auto owner = session();
  const auto connection = this->connection(AVMediaType::video);
  if (!owner || !owner->isRunning() || !connection || !connection->isActive()) {
    queue.async([deliver] {
      deliver(std::nullopt,
              avError(AVErrorSessionNotRunning, "No active and enabled video connection"));
    });
    return;
  }
  const auto frame = hardware.nextFrame(owner->activePreset());
  const auto fault = hardware.takePhotoFault();
  const bool mirrored = connection->isVideoMirrored();
  const int orientation = exifOrientation(connection->videoOrientation());
  auto work = [frame, mirrored, orientation, fault, deliver] {
    const Fault kind = fault ? fault->fault : Fault::late;
    if (fault && kind == Fault::error)
      return deliver(std::nullopt, avError(AVErrorUnknown, "The photo could not be taken"));
    if (fault && kind == Fault::noData) return deliver(std::nullopt, std::nullopt);
    if (fault && kind == Fault::nonImageData)
      return deliver(Foundation::dataFromString("not a picture"), std::nullopt);
    auto bytes = encodeFrame(frame, mirrored, orientation);
    if (!bytes) return deliver(std::nullopt, bytes.error());
    if (fault && kind == Fault::twice) deliver(bytes.value(), std::nullopt);
    deliver(std::move(bytes).value(), std::nullopt);
  };
  if (fault && fault->fault == Fault::never) return;
  if (fault && fault->fault == Fault::late)
    queue.asyncAfter(fault->delay, std::move(work));
  else
    queue.async(std::move(work));
}

}  // namespace AVFoundation
