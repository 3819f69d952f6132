#include "ZTUIComponents/ZTImageFromLib.hpp"

#include <Foundation/Bundle.hpp>

#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

std::shared_ptr<UIKit::UIImage> ZTImageFromLib::makeLibraryImage(
    const std::optional<std::string>& named) {
  if (!named) return nullptr;
  auto bundle = Foundation::Bundle::forIdentifier(ZTConstants::BundleID);
  if (!bundle) return nullptr;  // never the main bundle's image by mistake
  return UIKit::UIImage::named(*named, bundle);
}

}  // namespace ZentrelSDK
