#pragma once

#include <memory>
#include <optional>
#include <string>

#include <UIKit/UIImageView.hpp>

namespace ZentrelSDK {

// An image view that carries the name of a picture of the kit's bundle, set from an
// interface file ("imageName"). It loads nothing itself: its user does.
class ZTImageViewFromLib : public UIKit::UIImageView {
 public:
  explicit ZTImageViewFromLib(UIKit::CGRect frame = {}) : UIImageView(frame) {}
  explicit ZTImageViewFromLib(std::shared_ptr<UIKit::UIImage> image)
      : UIImageView(std::move(image)) {}

  std::optional<std::string> imageName;

  void decodeInterface(UIKit::InterfaceCoder& coder) override;
};

}  // namespace ZentrelSDK
