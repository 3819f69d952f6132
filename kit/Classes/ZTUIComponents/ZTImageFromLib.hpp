#pragma once

#include <memory>
#include <optional>
#include <string>

#include <UIKit/UIImage.hpp>

namespace ZentrelSDK {

// Images of the kit's own resource bundle, rather than the host app's.
class ZTImageFromLib : public UIKit::UIImage {
 public:
  using UIKit::UIImage::UIImage;

  // The bundle's image of that name, as a plain platform image; none for an absent name or
  // one the bundle does not hold.
  static std::shared_ptr<UIKit::UIImage> makeLibraryImage(const std::optional<std::string>& named);
};

}  // namespace ZentrelSDK
