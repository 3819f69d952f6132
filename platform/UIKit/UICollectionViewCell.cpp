#include "UIKit/UICollectionViewCell.hpp"

#include "UIKit/UICollectionView.hpp"
#include "UIKit/UIControl.hpp"

namespace UIKit {

std::shared_ptr<UIView> cellHitTest(UIView& cell, std::shared_ptr<UIView> hit) {
  if (!hit) return hit;
  for (auto v = hit; v && v.get() != &cell; v = v->superview()) {
    // Recognizers on the way take the touch before the cell, as on the platform.
    if (dynamic_cast<UIControl*>(v.get()) || !v->gestureRecognizers().empty()) return hit;
  }
  return std::static_pointer_cast<UIView>(cell.shared_from_this());
}

UICollectionViewCell::UICollectionViewCell(CGRect frame)
    : UIView(frame),
      contentView_(std::make_shared<UIView>(CGRect::make(0, 0, frame.width(), frame.height()))) {
  contentView_->setAutoresizingMask(AutoresizingMask::flexibleWidth |
                                    AutoresizingMask::flexibleHeight);
  addSubview(contentView_);
}

std::shared_ptr<UIView> UICollectionViewCell::hitTest(CGPoint point) {
  return cellHitTest(*this, UIView::hitTest(point));
}

void UICollectionViewCell::touchesEnded(const UITouch& /*touch*/) {
  if (auto collection = enclosingView<UICollectionView>(*this)) collection->userSelected(*this);
}

}  // namespace UIKit
