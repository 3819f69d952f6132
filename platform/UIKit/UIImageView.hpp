#pragma once

#include <memory>

#include "UIKit/UIImage.hpp"
#include "UIKit/UIView.hpp"

namespace UIKit {

// Shows an image. Takes no touches by default.
class UIImageView : public UIView {
 public:
  explicit UIImageView(CGRect frame = {});
  // Swift `UIImageView(image:)`: sized to the image.
  explicit UIImageView(std::shared_ptr<UIImage> image);

  const std::shared_ptr<UIImage>& image() const { return image_; }
  void setImage(std::shared_ptr<UIImage> image) { image_ = std::move(image); }
  const std::shared_ptr<UIImage>& highlightedImage() const { return highlightedImage_; }
  void setHighlightedImage(std::shared_ptr<UIImage> image) { highlightedImage_ = std::move(image); }

  // "image" and "highlightedImage" name images of the file's bundle.
  void decodeInterface(InterfaceCoder& coder) override;

 private:
  std::shared_ptr<UIImage> image_;
  std::shared_ptr<UIImage> highlightedImage_;
};

}  // namespace UIKit
