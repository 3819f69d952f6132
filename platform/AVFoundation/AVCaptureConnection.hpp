#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "AVFoundation/AVCaptureInput.hpp"
#include "AVFoundation/AVTypes.hpp"

namespace AVFoundation {

class AVCaptureOutput;
class AVCaptureVideoPreviewLayer;

// Swift's AVCaptureConnection: input ports to an output (or to a preview layer). Video
// connections support orientation, mirroring and stabilisation. Thread-safe.
class AVCaptureConnection {
 public:
  // Swift `AVCaptureConnection(inputPorts:output:)`.
  AVCaptureConnection(std::vector<std::shared_ptr<AVCaptureInputPort>> inputPorts,
                      const std::shared_ptr<AVCaptureOutput>& output);
  // A preview layer's connection.
  AVCaptureConnection(std::vector<std::shared_ptr<AVCaptureInputPort>> inputPorts,
                      const std::shared_ptr<AVCaptureVideoPreviewLayer>& layer);

  const std::vector<std::shared_ptr<AVCaptureInputPort>>& inputPorts() const { return ports_; }
  std::shared_ptr<AVCaptureOutput> output() const { return output_.lock(); }
  std::shared_ptr<AVCaptureVideoPreviewLayer> videoPreviewLayer() const { return layer_.lock(); }
  bool carries(AVMediaType mediaType) const;

  bool isEnabled() const { return enabled_; }
  void setEnabled(bool enabled) { enabled_ = enabled; }
  // Enabled and part of a session's graph.
  bool isActive() const { return enabled_ && inSession_; }

  bool isVideoOrientationSupported() const { return carries(AVMediaType::video); }
  AVCaptureVideoOrientation videoOrientation() const { return orientation_; }
  void setVideoOrientation(AVCaptureVideoOrientation orientation);

  bool isVideoMirroringSupported() const { return carries(AVMediaType::video); }
  bool isVideoMirrored() const { return mirrored_; }
  void setVideoMirrored(bool mirrored);

  bool isVideoStabilizationSupported() const { return carries(AVMediaType::video); }
  AVCaptureVideoStabilizationMode preferredVideoStabilizationMode() const { return stabilization_; }
  void setPreferredVideoStabilizationMode(AVCaptureVideoStabilizationMode mode);

  // Set by the session that holds the connection.
  void setInSession(bool inSession) { inSession_ = inSession; }

 private:
  std::vector<std::shared_ptr<AVCaptureInputPort>> ports_;
  std::weak_ptr<AVCaptureOutput> output_;
  std::weak_ptr<AVCaptureVideoPreviewLayer> layer_;
  std::atomic<bool> enabled_{true};
  std::atomic<bool> inSession_{false};
  std::atomic<AVCaptureVideoOrientation> orientation_{AVCaptureVideoOrientation::portrait};
  std::atomic<bool> mirrored_{false};
  std::atomic<AVCaptureVideoStabilizationMode> stabilization_{AVCaptureVideoStabilizationMode::off};
};

}  // namespace AVFoundation
