#include "Photos/PHImageManager.hpp"

#include <atomic>

#include "Dispatch/DispatchQueue.hpp"
#include "ImageIO/CGImageSource.hpp"

namespace Photos {

namespace {
struct Answer {
  std::optional<Foundation::Data> data;
  std::optional<std::string> uti;
  UIKit::UIImage::Orientation orientation = UIKit::UIImage::Orientation::Up;
  std::map<std::string, std::string> info;
};

Answer read(const PHAsset& asset) {
  Answer answer;
  if (asset.mediaType() != PHAssetMediaType::image) {
    answer.info[PHImageErrorKey] = "Not an image asset";
    return answer;
  }
  auto bytes = Foundation::dataContentsOf(asset.filePath());
  if (!bytes) {
    answer.info[PHImageErrorKey] = bytes.error().localizedDescription();
    return answer;
  }
  const auto source = ImageIO::CGImageSource::createWithData(bytes.value());
  answer.uti = source->type();
  if (auto properties = source->copyProperties(0); properties && properties.value().orientation)
    answer.orientation = UIKit::UIImage::orientationFromExif(*properties.value().orientation);
  answer.data = std::move(bytes).value();
  return answer;
}
}  // namespace

const std::shared_ptr<PHImageManager>& PHImageManager::defaultManager() {
  static const auto manager = std::make_shared<PHImageManager>();
  return manager;
}

PHImageRequestID PHImageManager::requestImageData(
    const PHAsset& asset, const std::optional<PHImageRequestOptions>& options,
    DataHandler resultHandler) {
  static std::atomic<PHImageRequestID> counter{0};
  const PHImageRequestID id = ++counter;
  if (options && options->isSynchronous) {
    auto answer = read(asset);
    if (resultHandler)
      resultHandler(std::move(answer.data), answer.uti, answer.orientation, answer.info);
    return id;
  }
  auto snapshot = std::make_shared<PHAsset>(asset);
  Dispatch::DispatchQueue::global(Dispatch::QoS::UserInitiated)
      .async([snapshot, handler = std::move(resultHandler)] {
        auto answer = read(*snapshot);
        if (handler) handler(std::move(answer.data), answer.uti, answer.orientation, answer.info);
      });
  return id;
}

}  // namespace Photos
