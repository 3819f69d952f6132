#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "AVFoundation/AVCaptureDevice.hpp"
#include "AVFoundation/AVCaptureOutput.hpp"
#include "Foundation/Data.hpp"
#include "Foundation/NSError.hpp"

namespace AVFoundation {

// Swift's AVCapturePhotoSettings: what one photo is taken with. A value.
struct AVCapturePhotoSettings {
  AVCaptureDevice::FlashMode flashMode = AVCaptureDevice::FlashMode::off;
  bool isAutoStillImageStabilizationEnabled = true;
  std::int64_t uniqueID = next();

 private:
  static std::int64_t next();
};

// Swift's AVCapturePhoto: the outcome of one capture.
class AVCapturePhoto {
 public:
  AVCapturePhoto(std::optional<Foundation::Data> fileData, AVCapturePhotoSettings settings)
      : fileData_(std::move(fileData)), settings_(settings) {}
  // The encoded picture with its metadata, or nullopt when the capture gave none.
  const std::optional<Foundation::Data>& fileDataRepresentation() const { return fileData_; }
  const AVCapturePhotoSettings& resolvedSettings() const { return settings_; }

 private:
  std::optional<Foundation::Data> fileData_;
  AVCapturePhotoSettings settings_;
};

class AVCapturePhotoOutput;

// Swift's AVCapturePhotoCaptureDelegate, the callback the kit uses.
class AVCapturePhotoCaptureDelegate {
 public:
  virtual ~AVCapturePhotoCaptureDelegate() = default;
  virtual void photoOutput(AVCapturePhotoOutput& output, const AVCapturePhoto& photo,
                           const std::optional<Foundation::NSError>& error) = 0;
};

// Swift's AVCapturePhotoOutput. A capture takes the sensor's next frame at the session's
// active preset, mirrors it when the connection is mirrored and encodes it as JPEG with the
// EXIF orientation of the connection's video orientation. The delegate, held until it has
// been called, is called once on a platform thread, unless a simulated fault says otherwise.
class AVCapturePhotoOutput : public AVCaptureOutput {
 public:
  static std::shared_ptr<AVCapturePhotoOutput> make() {
    return std::make_shared<AVCapturePhotoOutput>();
  }

  bool accepts(AVMediaType mediaType) const override { return mediaType == AVMediaType::video; }
  const char* kind() const override { return "photo output"; }

  // Flash modes of the session's camera: off, plus on and auto when it has a flash.
  std::vector<AVCaptureDevice::FlashMode> supportedFlashModes() const;

  void capturePhoto(const AVCapturePhotoSettings& settings,
                    std::shared_ptr<AVCapturePhotoCaptureDelegate> delegate);

  // The quality of the encoded pictures, 0...1.
  static constexpr double kQuality = 0.9;
};

}  // namespace AVFoundation
