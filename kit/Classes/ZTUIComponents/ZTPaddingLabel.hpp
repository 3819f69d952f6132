#pragma once

#include <UIKit/UILabel.hpp>

namespace ZentrelSDK {

// A label with an inner margin: it draws its text inside its bounds shrunk by the four
// insets and reports a natural size grown by them. Interface files may name it by its class
// and set "topInset", "bottomInset", "leftInset" and "rightInset". A changed inset shows at
// the next draw and layout pass; setting one marks nothing by itself.
class ZTPaddingLabel : public UIKit::UILabel {
 public:
  explicit ZTPaddingLabel(UIKit::CGRect frame = {});

  UIKit::CGFloat topInset = 5.0;
  UIKit::CGFloat bottomInset = 5.0;
  UIKit::CGFloat leftInset = 5.0;
  UIKit::CGFloat rightInset = 5.0;

  void drawText(UIKit::CGRect rect) override;
  UIKit::CGSize intrinsicContentSize() const override;

  void decodeInterface(UIKit::InterfaceCoder& coder) override;
};

}  // namespace ZentrelSDK
