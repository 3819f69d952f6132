#pragma once

#include <memory>
#include <optional>
#include <variant>

#include <Foundation/CocoaError.hpp>
#include <Foundation/NSError.hpp>

#include "ZTCustomCameraView/ZTCameraData/MediaType.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/CaptureContent.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/ZTCaptureTypes.hpp"

namespace ZentrelSDK {

// Why a capture or save failed: the kit's own error, or the platform's passed on unchanged.
using CaptureFailure = std::variant<CaptureError, Foundation::NSError, Foundation::CocoaError>;

// The outcome handed to a capture or save completion.
class CaptureResult {
 public:
  struct Success {
    CaptureContent content;
    MediaType mediaType;
  };

  CaptureResult(std::shared_ptr<UIKit::UIImage> image, MediaType mediaType)
      : value_(Success{CaptureContent::image(std::move(image)), mediaType}) {}
  CaptureResult(Foundation::URL url, MediaType mediaType)
      : value_(Success{CaptureContent::url(std::move(url)), mediaType}) {}
  CaptureResult(Foundation::Data data, MediaType mediaType)
      : value_(Success{CaptureContent::imageData(std::move(data)), mediaType}) {}
  CaptureResult(std::shared_ptr<Photos::PHAsset> asset, MediaType mediaType)
      : value_(Success{CaptureContent::asset(std::move(asset)), mediaType}) {}

  static CaptureResult success(CaptureContent content, MediaType mediaType) {
    return CaptureResult(Success{std::move(content), mediaType});
  }
  static CaptureResult failure(CaptureFailure error) { return CaptureResult(std::move(error)); }

  bool isSuccess() const { return std::holds_alternative<Success>(value_); }
  // Null for the other case.
  const Success* successValue() const { return std::get_if<Success>(&value_); }
  const CaptureFailure* failureValue() const { return std::get_if<CaptureFailure>(&value_); }

  // The content's bytes for a success; nothing for a failure.
  std::optional<Foundation::Data> imageData() const;

 private:
  explicit CaptureResult(std::variant<Success, CaptureFailure> value) : value_(std::move(value)) {}
  std::variant<Success, CaptureFailure> value_;
};

}  // namespace ZentrelSDK
