#include "UIKit/UITableViewCell.hpp"

#include "UIKit/InterfaceCoder.hpp"
#include "UIKit/UICollectionViewCell.hpp"
#include "UIKit/UIImageView.hpp"
#include "UIKit/UILabel.hpp"
#include "UIKit/UITableView.hpp"

namespace UIKit {

namespace {
constexpr CGFloat kMargin = 16;
constexpr CGFloat kImageSide = 28;
}  // namespace

UITableViewCell::UITableViewCell(CellStyle /*style*/, std::optional<std::string> reuseIdentifier)
    : UITableViewCell(CGRect::make(0, 0, 320, 44)) {
  reuseIdentifier_ = std::move(reuseIdentifier);
}

UITableViewCell::UITableViewCell(CGRect frame)
    : UIView(frame),
      contentView_(std::make_shared<UIView>(CGRect::make(0, 0, frame.width(), frame.height()))) {
  contentView_->setAutoresizingMask(AutoresizingMask::flexibleWidth |
                                    AutoresizingMask::flexibleHeight);
  UIView::addSubview(contentView_);
}

void UITableViewCell::didAddSubview(UIView& subview) {
  // The content view stays at the back, under what the file or the app adds on top.
  if (&subview != contentView_.get() && subviews().front() != contentView_)
    sendSubviewToBack(contentView_);
}

std::shared_ptr<UILabel> UITableViewCell::textLabel() {
  if (!textLabel_) {
    const CGFloat left = imageView_ ? 2 * kMargin + kImageSide : kMargin;
    textLabel_ = std::make_shared<UILabel>(CGRect::make(
        left, 0, std::max<CGFloat>(0, bounds().width() - left - kMargin), bounds().height()));
    textLabel_->setAutoresizingMask(AutoresizingMask::flexibleWidth |
                                    AutoresizingMask::flexibleHeight);
    contentView_->addSubview(textLabel_);
  }
  return textLabel_;
}

std::shared_ptr<UIImageView> UITableViewCell::imageView() {
  if (!imageView_) {
    imageView_ = std::make_shared<UIImageView>(
        CGRect::make(kMargin, (bounds().height() - kImageSide) / 2, kImageSide, kImageSide));
    contentView_->addSubview(imageView_);
    if (textLabel_) {
      CGRect f = textLabel_->frame();
      const CGFloat left = 2 * kMargin + kImageSide;
      f.size.width = std::max<CGFloat>(0, f.size.width - (left - f.origin.x));
      f.origin.x = left;
      textLabel_->setFrame(f);
    }
  }
  return imageView_;
}

void UITableViewCell::setSelected(bool selected, bool /*animated*/) {
  selected_ = selected;
}

std::shared_ptr<UIView> UITableViewCell::hitTest(CGPoint point) {
  return cellHitTest(*this, UIView::hitTest(point));
}

void UITableViewCell::touchesEnded(const UITouch& /*touch*/) {
  if (auto table = enclosingView<UITableView>(*this)) table->userSelected(*this);
}

void UITableViewCell::decodeInterface(InterfaceCoder& coder) {
  UIView::decodeInterface(coder);
  if (auto id = coder.decodeString("reuseIdentifier")) reuseIdentifier_ = *id;
}

}  // namespace UIKit
