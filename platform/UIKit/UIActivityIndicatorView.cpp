#include "UIKit/UIActivityIndicatorView.hpp"

#include "UIKit/InterfaceCoder.hpp"

namespace UIKit {

UIActivityIndicatorView::UIActivityIndicatorView(CGRect frame) : UIView(frame) {
  updateHidden();
}

UIActivityIndicatorView::UIActivityIndicatorView(Style style)
    : UIActivityIndicatorView(style == Style::large || style == Style::whiteLarge
                                  ? CGRect::make(0, 0, 37, 37)
                                  : CGRect::make(0, 0, 20, 20)) {
  style_ = style;
}

void UIActivityIndicatorView::setHidesWhenStopped(bool hides) {
  hidesWhenStopped_ = hides;
  updateHidden();
}

void UIActivityIndicatorView::startAnimating() {
  animating_ = true;
  updateHidden();
}

void UIActivityIndicatorView::stopAnimating() {
  animating_ = false;
  updateHidden();
}

void UIActivityIndicatorView::updateHidden() {
  if (animating_) {
    setHidden(false);
  } else if (hidesWhenStopped_) {
    setHidden(true);
  }
}

void UIActivityIndicatorView::decodeInterface(InterfaceCoder& coder) {
  UIView::decodeInterface(coder);
  if (auto color = coder.decodeColor("color")) setColor(*color);
  if (auto hides = coder.decodeBool("hidesWhenStopped")) setHidesWhenStopped(*hides);
  if (auto style = coder.decodeString("style")) {
    if (*style == "medium") {
      setStyle(Style::medium);
    } else if (*style == "large") {
      setStyle(Style::large);
    } else {
      coder.reportError("style", "unknown style \"" + *style + "\"");
    }
  }
  if (auto animating = coder.decodeBool("animating")) {
    if (*animating) {
      startAnimating();
    } else {
      stopAnimating();
    }
  }
}

}  // namespace UIKit
