#include "UIKit/UIAlertController.hpp"

#include <cmath>

#include "UIKit/UIAlertPresentationController.hpp"
#include "UIKit/UILabel.hpp"
#include "UIKit/UIScreen.hpp"
#include "UIKit/UIVisualEffectView.hpp"

namespace UIKit {

namespace {
constexpr CGFloat kPadding = 20;
constexpr CGFloat kTitleHeight = 22;
constexpr CGFloat kMessageLineHeight = 18;
constexpr std::size_t kCharactersPerLine = 34;

CGFloat messageHeight(const std::optional<std::string>& message) {
  if (!message || message->empty()) return 0;
  const auto lines = (message->size() + kCharactersPerLine - 1) / kCharactersPerLine;
  return static_cast<CGFloat>(lines) * kMessageLineHeight;
}
}  // namespace

UIAlertController::UIAlertController(std::optional<std::string> title,
                                     std::optional<std::string> message, Style preferredStyle)
    : title_(std::move(title)), message_(std::move(message)), style_(preferredStyle) {
  setModalPresentationStyle(UIModalPresentationStyle::custom);
}

void UIAlertController::setTitle(std::optional<std::string> title) {
  title_ = std::move(title);
  if (auto label = titleLabel_.lock()) label->setText(title_);
}

void UIAlertController::setMessage(std::optional<std::string> message) {
  message_ = std::move(message);
  if (auto label = messageLabel_.lock()) label->setText(message_);
}

CGSize UIAlertController::preferredContentSize() const {
  const bool hasTitle = title_ && !title_->empty();
  const CGFloat text = messageHeight(message_);
  CGFloat height = 2 * kPadding + (hasTitle ? kTitleHeight : 0) + text;
  if (hasTitle && text > 0) height += 4;
  return {width, height};
}

void UIAlertController::loadView() {
  using M = UIView::AutoresizingMask;
  auto view = std::make_shared<UIView>(UIScreen::main().bounds());
  view->layer()->cornerRadius = 13;
  view->setClipsToBounds(true);
  auto box = std::make_shared<UIVisualEffectView>(UIBlurEffect(UIBlurEffect::Style::extraLight));
  box->setFrame(view->bounds());
  box->setAutoresizingMask(M::flexibleWidth | M::flexibleHeight);
  view->addSubview(box);

  const CGFloat inner = view->bounds().width() - 2 * kPadding;
  auto title = std::make_shared<UILabel>(CGRect::make(kPadding, kPadding, inner, kTitleHeight));
  title->setFont(UIFont::boldSystemFont(17));
  title->setTextAlignment(NSTextAlignment::center);
  title->setAutoresizingMask(M::flexibleWidth | M::flexibleBottomMargin);
  title->setText(title_);
  auto message = std::make_shared<UILabel>(
      CGRect::make(kPadding, kPadding + kTitleHeight + 4, inner, messageHeight(message_)));
  message->setFont(UIFont::systemFont(13));
  message->setTextAlignment(NSTextAlignment::center);
  message->setNumberOfLines(0);
  message->setAutoresizingMask(M::flexibleWidth | M::flexibleBottomMargin);
  message->setText(message_);
  box->contentView()->addSubview(title);
  box->contentView()->addSubview(message);
  titleLabel_ = title;
  messageLabel_ = message;
  setView(view);
}

std::shared_ptr<UIPresentationController> UIAlertController::makePresentationController(
    const std::shared_ptr<UIViewController>& presenting) {
  return std::make_shared<UIAlertPresentationController>(sharedAs<UIAlertController>(), presenting);
}

}  // namespace UIKit
