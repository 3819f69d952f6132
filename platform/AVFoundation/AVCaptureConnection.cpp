#include "AVFoundation/AVCaptureConnection.hpp"

#include "AVFoundation/AVCaptureOutput.hpp"
#include "AVFoundation/AVCaptureVideoPreviewLayer.hpp"

namespace AVFoundation {

AVCaptureConnection::AVCaptureConnection(
    std::vector<std::shared_ptr<AVCaptureInputPort>> inputPorts,
    const std::shared_ptr<AVCaptureOutput>& output)
    : ports_(std::move(inputPorts)), output_(output) {}

AVCaptureConnection::AVCaptureConnection(
    std::vector<std::shared_ptr<AVCaptureInputPort>> inputPorts,
    const std::shared_ptr<AVCaptureVideoPreviewLayer>& layer)
    : ports_(std::move(inputPorts)), layer_(layer) {}

bool AVCaptureConnection::carries(AVMediaType mediaType) const {
  for (const auto& port : ports_)
    if (port && port->mediaType() == mediaType) return true;
  return false;
}

void AVCaptureConnection::setVideoOrientation(AVCaptureVideoOrientation orientation) {
  if (isVideoOrientationSupported()) orientation_ = orientation;
}

void AVCaptureConnection::setVideoMirrored(bool mirrored) {
  if (isVideoMirroringSupported()) mirrored_ = mirrored;
}

void AVCaptureConnection::setPreferredVideoStabilizationMode(AVCaptureVideoStabilizationMode mode) {
  if (isVideoStabilizationSupported()) stabilization_ = mode;
}

}  // namespace AVFoundation
