#pragma once

#include <memory>

#include "AVFoundation/AVCaptureConnection.hpp"
#include "AVFoundation/AVCaptureSession.hpp"
#include "QuartzCore/CALayer.hpp"

namespace AVFoundation {

// Swift's AVLayerVideoGravity.
enum class AVLayerVideoGravity { resizeAspect, resizeAspectFill, resize };
inline constexpr auto AVLayerVideoGravityResizeAspectFill = AVLayerVideoGravity::resizeAspectFill;

// Swift's AVCaptureVideoPreviewLayer: the live picture of a session, a CALayer (main thread,
// like every layer). Its connection ties the session's camera to the layer.
class AVCaptureVideoPreviewLayer : public QuartzCore::CALayer {
 public:
  // Swift `AVCaptureVideoPreviewLayer(session:)`.
  static std::shared_ptr<AVCaptureVideoPreviewLayer> make(
      const std::shared_ptr<AVCaptureSession>& session);

  std::shared_ptr<AVCaptureSession> session() const { return session_; }
  void setSession(const std::shared_ptr<AVCaptureSession>& session);
  // Null without a session or before the session has a camera input.
  std::shared_ptr<AVCaptureConnection> connection();

  AVLayerVideoGravity videoGravity = AVLayerVideoGravity::resizeAspect;

  // Swift `captureDevicePointConverted(fromLayerPoint:)`: a layer point in the camera's unit
  // square (landscape, top left origin), following the connection's orientation and mirroring.
  CoreGraphics::CGPoint captureDevicePointConverted(CoreGraphics::CGPoint layerPoint);

 private:
  std::shared_ptr<AVCaptureSession> session_;
  std::shared_ptr<AVCaptureConnection> connection_;
  std::shared_ptr<AVCaptureInputPort> port_;
};

}  // namespace AVFoundation
