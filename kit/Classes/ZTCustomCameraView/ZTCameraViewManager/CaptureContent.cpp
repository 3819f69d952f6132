#include "ZTCustomCameraView/ZTCameraViewManager/CaptureContent.hpp"

#include <Photos/PHImageManager.hpp>

namespace ZentrelSDK {

namespace {
constexpr UIKit::CGFloat kJPEGQuality = 0.8;

template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;
}  // namespace

std::optional<Foundation::Data> CaptureContent::asData() const {
  return std::visit(
      Overloaded{
          [](const Foundation::Data& data) -> std::optional<Foundation::Data> { return data; },
          [](const std::shared_ptr<UIKit::UIImage>& image) -> std::optional<Foundation::Data> {
            if (!image) return std::nullopt;
            return image->jpegData(kJPEGQuality);
          },
          [](const std::shared_ptr<Photos::PHAsset>& asset) -> std::optional<Foundation::Data> {
            if (!asset) return std::nullopt;
            return getImageData(*asset);
          },
          [](const Foundation::URL& url) { return createDataFromUrl(url); },
      },
      value_);
}

std::shared_ptr<UIKit::UIImage> CaptureContent::asImage() const {
  return std::visit(
      Overloaded{
          [](const Foundation::Data& data) { return UIKit::UIImage::withData(data); },
          [](const std::shared_ptr<UIKit::UIImage>& image) { return image; },
          [](const std::shared_ptr<Photos::PHAsset>& asset) -> std::shared_ptr<UIKit::UIImage> {
            const auto data = asset ? getImageData(*asset) : std::nullopt;
            return data ? UIKit::UIImage::withData(*data) : nullptr;
          },
          [](const Foundation::URL& url) { return createImageFromUrl(url); },
      },
      value_);
}

std::optional<Foundation::URL> CaptureContent::asUrl() const {
  if (const auto* url = std::get_if<Foundation::URL>(&value_)) return *url;
  return std::nullopt;
}

std::optional<Foundation::Data> CaptureContent::getImageData(const Photos::PHAsset& asset) {
  std::optional<Foundation::Data> result;
  Photos::PHImageRequestOptions options;
  options.version = Photos::PHImageRequestOptions::Version::original;
  options.isSynchronous = true;
  Photos::PHImageManager::defaultManager()->requestImageData(
      asset, options,
      [&result](std::optional<Foundation::Data> data, auto&&...) { result = std::move(data); });
  return result;
}

std::shared_ptr<UIKit::UIImage> CaptureContent::createImageFromUrl(const Foundation::URL& url) {
  const auto data = createDataFromUrl(url);
  return data ? UIKit::UIImage::withData(*data) : nullptr;
}

std::optional<Foundation::Data> CaptureContent::createDataFromUrl(const Foundation::URL& url) {
  auto data = Foundation::dataContentsOf(url);
  if (!data) return std::nullopt;
  return std::move(data).value();
}

}  // namespace ZentrelSDK
