#include "UIKit/UILabel.hpp"

#include <algorithm>

#include "UIKit/InterfaceCoder.hpp"
#include "UIKit/UTF16.hpp"

namespace UIKit {

UILabel::UILabel(CGRect frame) : UIView(frame) {
  setUserInteractionEnabled(false);
}

void UILabel::setText(std::optional<std::string> text) {
  setNeedsDisplay();
  text_ = std::move(text);
  if (text_) {
    attributedText_ = NSAttributedString(*text_);
  } else {
    attributedText_.reset();
  }
}

CGSize UILabel::intrinsicContentSize() const {
  if (!text_ || text_->empty()) return {0, 0};
  std::size_t widest = 0;
  std::size_t lines = 0;
  std::string_view rest = *text_;
  while (true) {
    const auto end = rest.find('\n');
    if (lines_ == 0 || lines < static_cast<std::size_t>(lines_)) {
      widest = std::max(widest, utf16Length(rest.substr(0, end)));
      ++lines;
    }
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return {static_cast<CGFloat>(widest) * font_.pointSize() / 2,
          static_cast<CGFloat>(lines) * font_.lineHeight()};
}

void UILabel::drawText(CGRect rect) {
  drawnTextRect_ = rect;
}

void UILabel::draw(CGRect rect) {
  drawText(rect);
}

void UILabel::setAttributedText(std::optional<NSAttributedString> text) {
  setNeedsDisplay();
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
