#include "AVFoundation/AVCaptureVideoPreviewLayer.hpp"

#include <algorithm>

namespace AVFoundation {

std::shared_ptr<AVCaptureVideoPreviewLayer> AVCaptureVideoPreviewLayer::make(
    const std::shared_ptr<AVCaptureSession>& session) {
  auto layer = std::make_shared<AVCaptureVideoPreviewLayer>();
  layer->setSession(session);
  return layer;
}

void AVCaptureVideoPreviewLayer::setSession(const std::shared_ptr<AVCaptureSession>& session) {
  if (session == session_) return;
  session_ = session;
  connection_.reset();
  port_.reset();
}

std::shared_ptr<AVCaptureConnection> AVCaptureVideoPreviewLayer::connection() {
  if (!session_) return nullptr;
  std::shared_ptr<AVCaptureInputPort> port;
  for (const auto& input : session_->inputs()) {
    auto device = std::dynamic_pointer_cast<AVCaptureDeviceInput>(input);
    if (!device || !device->device()->hasMediaType(AVMediaType::video)) continue;
    port = device->ports().front();
    break;
  }
  if (!port) return nullptr;
  if (port != port_) {
    // A new camera: a new connection that keeps the orientation and mirroring of the last.
    auto connection = std::make_shared<AVCaptureConnection>(
        std::vector{port},
        std::static_pointer_cast<AVCaptureVideoPreviewLayer>(shared_from_this()));
    if (connection_) {
      connection->setVideoOrientation(connection_->videoOrientation());
      connection->setVideoMirrored(connection_->isVideoMirrored());
    }
    connection->setInSession(true);
    connection_ = std::move(connection);
    port_ = port;
  }
  return connection_;
}

CoreGraphics::CGPoint AVCaptureVideoPreviewLayer::captureDevicePointConverted(
    CoreGraphics::CGPoint layerPoint) {
  const auto size = bounds().size;
  if (size.width <= 0 || size.height <= 0) return {0.5, 0.5};
  double u = std::clamp(layerPoint.x / size.width, 0.0, 1.0);
  const double v = std::clamp(layerPoint.y / size.height, 0.0, 1.0);
  const auto link = connection();
  if (link && link->isVideoMirrored()) u = 1 - u;
  const auto orientation = link ? link->videoOrientation() : AVCaptureVideoOrientation::portrait;
  switch (orientation) {
    case AVCaptureVideoOrientation::portrait:
      return {v, 1 - u};
    case AVCaptureVideoOrientation::portraitUpsideDown:
      return {1 - v, u};
    case AVCaptureVideoOrientation::landscapeRight:
      return {u, v};
    case AVCaptureVideoOrientation::landscapeLeft:
      return {1 - u, 1 - v};
  }
  return {u, v};
}

}  // namespace AVFoundation
