#include "ZTUIComponents/ZTPaddingLabel.hpp"

#include <UIKit/InterfaceCoder.hpp>
#include <UIKit/InterfaceRegistry.hpp>

namespace ZentrelSDK {

namespace {
const bool registered =
    UIKit::InterfaceRegistry::registerViewClass<ZTPaddingLabel>("ZTPaddingLabel");
}  // namespace

ZTPaddingLabel::ZTPaddingLabel(UIKit::CGRect frame) : UILabel(frame) {}

void ZTPaddingLabel::drawText(UIKit::CGRect rect) {
  const auto top = topInset, left = leftInset, bottom = bottomInset, right = rightInset;
  UILabel::drawText(UIKit::CGRect::make(rect.origin.x + left, rect.origin.y + top,
                                        rect.size.width - left - right,
                                        rect.size.height - top - bottom));
}

UIKit::CGSize ZTPaddingLabel::intrinsicContentSize() const {
  const auto size = UILabel::intrinsicContentSize();
  return {size.width + leftInset + rightInset, size.height + topInset + bottomInset};
}

void ZTPaddingLabel::decodeInterface(UIKit::InterfaceCoder& coder) {
  UILabel::decodeInterface(coder);
  if (auto value = coder.decodeNumber("topInset")) topInset = *value;
  if (auto value = coder.decodeNumber("bottomInset")) bottomInset = *value;
  if (auto value = coder.decodeNumber("leftInset")) leftInset = *value;
  if (auto value = coder.decodeNumber("rightInset")) rightInset = *value;
}

}  // namespace ZentrelSDK
