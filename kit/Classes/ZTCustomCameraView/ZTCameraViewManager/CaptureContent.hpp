#pragma once

#include <memory>
#include <optional>
#include <variant>

#include <Foundation/Data.hpp>
#include <Foundation/URL.hpp>
#include <Photos/PHObject.hpp>
#include <UIKit/UIImage.hpp>

namespace ZentrelSDK {

// What a successful capture or save holds: bytes, an image, a library asset or a file. The
// conversions are computed on every read and never fail loudly: a failure is an absent value.
class CaptureContent {
 public:
  static CaptureContent imageData(Foundation::Data data) { return CaptureContent(std::move(data)); }
  static CaptureContent image(std::shared_ptr<UIKit::UIImage> image) {
    return CaptureContent(std::move(image));
  }
  static CaptureContent asset(std::shared_ptr<Photos::PHAsset> asset) {
    return CaptureContent(std::move(asset));
  }
  static CaptureContent url(Foundation::URL url) { return CaptureContent(std::move(url)); }

  // Bytes as they are; an image as JPEG at quality 0.8; an asset's file from the library
  // (synchronously); a file's bytes.
  std::optional<Foundation::Data> asData() const;
  // Bytes or a file decoded; the image itself (the same object); an asset's bytes decoded.
  std::shared_ptr<UIKit::UIImage> asImage() const;
  // The URL of a file content only.
  std::optional<Foundation::URL> asUrl() const;

  using Value = std::variant<Foundation::Data, std::shared_ptr<UIKit::UIImage>,
                             std::shared_ptr<Photos::PHAsset>, Foundation::URL>;
  const Value& value() const { return value_; }

 private:
  explicit CaptureContent(Value value) : value_(std::move(value)) {}
  static std::optional<Foundation::Data> getImageData(const Photos::PHAsset& asset);
  static std::shared_ptr<UIKit::UIImage> createImageFromUrl(const Foundation::URL& url);
  static std::optional<Foundation::Data> createDataFromUrl(const Foundation::URL& url);

  Value value_;
};

}  // namespace ZentrelSDK
