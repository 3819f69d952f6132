#include "ZTExtensions/ZTUIViewExtensions.hpp"

#include <memory>

#include <Foundation/Bundle.hpp>
#include <UIKit/NSMutableAttributedString.hpp>
#include <UIKit/UINib.hpp>

#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

using UIKit::UITextField;

void addPadding(UITextField& textField, PaddingSide padding) {
  textField.setLeftViewMode(UITextField::ViewMode::always);
  textField.setClipsToBounds(true);
  auto view = std::make_shared<UIKit::UIView>(
      CoreGraphics::CGRect::make(0, 0, padding.width, textField.frame().height()));
  switch (padding.kind) {
    case PaddingSide::Kind::left:
      textField.setLeftView(view);
      break;
    case PaddingSide::Kind::right:
      textField.setRightView(view);
      textField.setRightViewMode(UITextField::ViewMode::always);
      break;
    case PaddingSide::Kind::both:
      textField.setLeftView(view);
      textField.setRightView(view);
      textField.setLeftViewMode(UITextField::ViewMode::always);
      textField.setRightViewMode(UITextField::ViewMode::always);
      break;
  }
}

void setLetterSpacing(UIKit::UILabel& label, double spacing) {
  const auto& text = label.text();
  if (!text) return;
  UIKit::NSMutableAttributedString attributed(*text);
  // An empty text has no last character to spare; there is nothing to space.
  if (attributed.length() == 0) return;
  attributed.addAttribute(UIKit::NSAttributedString::Key::kern, spacing,
                          {0, attributed.length() - 1});
  label.setAttributedText(attributed);
}

std::shared_ptr<UIKit::UIView> loadContentView(UIKit::UIView& owner, const std::string& name) {
  const UIKit::UINib nib(name, Foundation::Bundle::forIdentifier(ZTConstants::BundleID));
  auto objects = nib.instantiate(&owner);
  if (objects.empty()) return nullptr;
  auto content = objects.front();
  owner.addSubview(content);
  content->setFrame(owner.bounds());
  content->setAutoresizingMask(UIKit::UIView::AutoresizingMask::flexibleWidth |
                               UIKit::UIView::AutoresizingMask::flexibleHeight);
  return content;
}

}  // namespace ZentrelSDK
