#include "UIKit/UILabel.hpp"

#include "UIKit/InterfaceCoder.hpp"

namespace UIKit {

UILabel::UILabel(CGRect frame) : UIView(frame) {
  setUserInteractionEnabled(false);
}

void UILabel::setText(std::optional<std::string> text) {
  text_ = std::move(text);
  if (text_) {
    attributedText_ = NSAttributedString(*text_);
  } else {
    attributedText_.reset();
  }
}

void UILabel::setAttributedText(std::optional<NSAttributedString> text) {
  attributedText_ = std::move(text);
  if (attributedText_) {
    text_ = attributedText_->string();
  } else {
    text_.reset();
  }
}

std::optional<std::string> UILabel::accessibilityLabel() const {
  if (auto label = UIView::accessibilityLabel()) return label;
  return text_;
}

void UILabel::decodeInterface(InterfaceCoder& coder) {
  UIView::decodeInterface(coder);
  if (auto text = coder.decodeString("text")) setText(*text);
  if (auto font = coder.decodeFont("font")) setFont(*font);
  if (auto color = coder.decodeColor("textColor")) setTextColor(*color);
  if (auto lines = coder.decodeNumber("numberOfLines")) setNumberOfLines(static_cast<int>(*lines));
  if (auto alignment = coder.decodeString("textAlignment")) {
    if (*alignment == "left") {
      setTextAlignment(NSTextAlignment::left);
    } else if (*alignment == "center") {
      setTextAlignment(NSTextAlignment::center);
    } else if (*alignment == "right") {
      setTextAlignment(NSTextAlignment::right);
    } else if (*alignment == "justified") {
      setTextAlignment(NSTextAlignment::justified);
    } else if (*alignment == "natural") {
      setTextAlignment(NSTextAlignment::natural);
    } else {
      coder.reportError("textAlignment", "unknown alignment \"" + *alignment + "\"");
    }
  }
}

}  // namespace UIKit
