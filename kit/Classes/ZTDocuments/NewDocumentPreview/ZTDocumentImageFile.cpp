#include "ZTDocuments/NewDocumentPreview/ZTDocumentImageFile.hpp"

#include <Foundation/Data.hpp>

namespace ZentrelSDK {

std::shared_ptr<UIKit::UIImage> documentImageFrom(const std::optional<Foundation::URL>& url) {
  if (!url) return nullptr;
  auto bytes = Foundation::dataContentsOf(*url);
  if (bytes.isFailure()) return nullptr;
  return UIKit::UIImage::withData(bytes.value());
}

}  // namespace ZentrelSDK
