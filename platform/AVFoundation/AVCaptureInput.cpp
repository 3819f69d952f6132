#include "AVFoundation/AVCaptureInput.hpp"

#include "AVFoundation/SimulatedCapture.hpp"

namespace AVFoundation {

void AVCaptureInput::makePort(AVMediaType mediaType) {
  ports_.push_back(std::make_shared<AVCaptureInputPort>(weak_from_this(), mediaType));
}

Foundation::Result<std::shared_ptr<AVCaptureDeviceInput>, Foundation::NSError>
AVCaptureDeviceInput::make(const std::shared_ptr<AVCaptureDevice>& device) {
  if (!device) return Foundation::failure(avError(AVErrorDeviceNotConnected, "No device"));
  const auto mediaType =
      device->hasMediaType(AVMediaType::audio) ? AVMediaType::audio : AVMediaType::video;
  if (AVCaptureDevice::authorizationStatus(mediaType) != AVAuthorizationStatus::authorized)
    return Foundation::failure(avError(AVErrorApplicationIsNotAuthorizedToUseDevice,
                                       "Cannot use " + device->localizedName()));
  if (auto error = SimulatedCapture::shared().takeInputFailure())
    return Foundation::failure(*error);
  auto input = std::make_shared<AVCaptureDeviceInput>(device);
  input->makePort(mediaType);
  return Foundation::success(std::move(input));
}

std::shared_ptr<AVCaptureMetadataInput> AVCaptureMetadataInput::make(
    std::shared_ptr<const CoreMedia::CMFormatDescription> formatDescription,
    std::shared_ptr<CoreMedia::CMClock> clock) {
  if (!formatDescription || !clock) return nullptr;
  auto input = std::make_shared<AVCaptureMetadataInput>(std::move(formatDescription));
  input->makePort(AVMediaType::metadata);
  return input;
}

}  // namespace AVFoundation
