#include "UIKit/UIImageView.hpp"

#include "UIKit/InterfaceCoder.hpp"

namespace UIKit {

UIImageView::UIImageView(CGRect frame) : UIView(frame) {
  setUserInteractionEnabled(false);
}

UIImageView::UIImageView(std::shared_ptr<UIImage> image)
    : UIImageView(image ? CGRect{{0, 0}, image->size()} : CGRect{}) {
  image_ = std::move(image);
}

void UIImageView::decodeInterface(InterfaceCoder& coder) {
  UIView::decodeInterface(coder);
  if (coder.contains("image")) setImage(coder.decodeImage("image"));
  if (coder.contains("highlightedImage"))
    setHighlightedImage(coder.decodeImage("highlightedImage"));
}

}  // namespace UIKit
