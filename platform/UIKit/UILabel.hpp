#pragma once

#include <optional>
#include <string>

#include "UIKit/NSAttributedString.hpp"
#include "UIKit/NSTextAlignment.hpp"
#include "UIKit/UIView.hpp"

namespace UIKit {

// Shows a text, plain or attributed. Setting either form replaces the other. Takes no
// touches by default.
// Text is measured without font files, deterministically: every UTF-16 unit advances by
// half the point size, a line is `font().lineHeight()` high. Lines break only at "\n" and
// `numberOfLines` (0: no limit) caps how many count.
class UILabel : public UIView {
 public:
  explicit UILabel(CGRect frame = {});

  const std::optional<std::string>& text() const { return text_; }
  void setText(std::optional<std::string> text);
  const std::optional<NSAttributedString>& attributedText() const { return attributedText_; }
  void setAttributedText(std::optional<NSAttributedString> text);
  const UIFont& font() const { return font_; }
  void setFont(UIFont font) { font_ = std::move(font); }
  const UIColor& textColor() const { return textColor_; }
  void setTextColor(UIColor color) { textColor_ = color; }
  NSTextAlignment textAlignment() const { return alignment_; }
  void setTextAlignment(NSTextAlignment alignment) { alignment_ = alignment; }
  int numberOfLines() const { return lines_; }
  void setNumberOfLines(int lines) { lines_ = lines; }
  // Kept, not rendered: nothing is drawn, so no text is ever shrunk.
  bool adjustsFontSizeToFitWidth() const { return adjustsFontSize_; }
  void setAdjustsFontSizeToFitWidth(bool adjusts) { adjustsFontSize_ = adjusts; }

  // The measured text; (0, 0) without text.
  CGSize intrinsicContentSize() const override;
  // Draws the text into `rect` (here: records where); `draw` hands it the bounds.
  virtual void drawText(CGRect rect);
  void draw(CGRect rect) override;
  // Where the text was last drawn; none before the first draw.
  const std::optional<CGRect>& drawnTextRect() const { return drawnTextRect_; }

  std::optional<std::string> accessibilityLabel() const override;
  void decodeInterface(InterfaceCoder& coder) override;

 private:
  std::optional<std::string> text_;
  std::optional<NSAttributedString> attributedText_;
  UIFont font_ = UIFont::systemFont(17);
  UIColor textColor_ = UIColor::black();
  NSTextAlignment alignment_ = NSTextAlignment::natural;
  int lines_ = 1;
  bool adjustsFontSize_ = false;
  std::optional<CGRect> drawnTextRect_;
};

}  // namespace UIKit
