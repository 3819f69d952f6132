#pragma once

#include <memory>
#include <vector>

#include "AVFoundation/AVCaptureDevice.hpp"
#include "AVFoundation/AVTypes.hpp"
#include "CoreMedia/CMFormatDescription.hpp"
#include "Foundation/NSError.hpp"
#include "Foundation/Result.hpp"

namespace AVFoundation {

class AVCaptureInput;

// Swift's AVCaptureInput.Port: one stream of an input.
class AVCaptureInputPort {
 public:
  AVCaptureInputPort(std::weak_ptr<AVCaptureInput> input, AVMediaType mediaType)
      : input_(std::move(input)), mediaType_(mediaType) {}
  AVMediaType mediaType() const { return mediaType_; }
  std::shared_ptr<AVCaptureInput> input() const { return input_.lock(); }

 private:
  std::weak_ptr<AVCaptureInput> input_;
  AVMediaType mediaType_;
};

// Swift's AVCaptureInput: a source of a session, with its ports. Immutable once made.
class AVCaptureInput : public std::enable_shared_from_this<AVCaptureInput> {
 public:
  virtual ~AVCaptureInput() = default;
  const std::vector<std::shared_ptr<AVCaptureInputPort>>& ports() const { return ports_; }

 protected:
  void makePort(AVMediaType mediaType);

 private:
  std::vector<std::shared_ptr<AVCaptureInputPort>> ports_;
};

// Swift's AVCaptureDeviceInput.
class AVCaptureDeviceInput : public AVCaptureInput {
 public:
  // Swift `AVCaptureDeviceInput(device:)`, which throws: the error comes back as a value
  // (no camera permission, or a simulated failure).
  static Foundation::Result<std::shared_ptr<AVCaptureDeviceInput>, Foundation::NSError> make(
      const std::shared_ptr<AVCaptureDevice>& device);

  const std::shared_ptr<AVCaptureDevice>& device() const { return device_; }

  explicit AVCaptureDeviceInput(std::shared_ptr<AVCaptureDevice> device)
      : device_(std::move(device)) {}

 private:
  std::shared_ptr<AVCaptureDevice> device_;
};

// Swift's AVCaptureMetadataInput: a timed-metadata source with one metadata port.
class AVCaptureMetadataInput : public AVCaptureInput {
 public:
  // Swift `AVCaptureMetadataInput(formatDescription:clock:)`: null without a description.
  static std::shared_ptr<AVCaptureMetadataInput> make(
      std::shared_ptr<const CoreMedia::CMFormatDescription> formatDescription,
      std::shared_ptr<CoreMedia::CMClock> clock);

  const std::shared_ptr<const CoreMedia::CMFormatDescription>& formatDescription() const {
    return description_;
  }

  explicit AVCaptureMetadataInput(std::shared_ptr<const CoreMedia::CMFormatDescription> d)
      : description_(std::move(d)) {}

 private:
  std::shared_ptr<const CoreMedia::CMFormatDescription> description_;
};

}  // namespace AVFoundation
