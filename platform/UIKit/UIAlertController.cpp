#include "UIKit/UIAlertController.hpp"

#include <algorithm>
#include <cmath>

#include "UIKit/UIAlertPresentationController.hpp"
#include "UIKit/UIButton.hpp"
#include "UIKit/UIKitLog.hpp"
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

CGFloat UIAlertController::textHeight() const {
  const bool hasTitle = title_ && !title_->empty();
  const CGFloat text = messageHeight(message_);
  CGFloat height = 2 * kPadding + (hasTitle ? kTitleHeight : 0) + text;
  if (hasTitle && text > 0) height += 4;
  return height;
}

CGSize UIAlertController::preferredContentSize() const {
  const CGFloat boxWidth =
      style_ == Style::actionSheet ? UIScreen::main().bounds().width() - 2 * sheetMargin : width;
  return {boxWidth, textHeight() + static_cast<CGFloat>(actions_.size()) * actionHeight};
}

void UIAlertController::addAction(std::shared_ptr<UIAlertAction> action) {
  if (!action) return;
  if (action->style() == UIAlertAction::Style::cancel) {
    const bool hasCancel = std::any_of(actions_.begin(), actions_.end(), [](const auto& a) {
      return a->style() == UIAlertAction::Style::cancel;
    });
    if (hasCancel) {  // the platform raises here
      uikitLog("UIAlertController can only have one action with a style of cancel; \"" +
               action->title().value_or("") + "\" is not added");
      return;
    }
  }
  actions_.push_back(std::move(action));
  layoutActions();
}

void UIAlertController::setPreferredAction(std::shared_ptr<UIAlertAction> action) {
  if (action && std::find(actions_.begin(), actions_.end(), action) == actions_.end()) {
    uikitLog("the preferred action must be one of the alert's actions");
    return;
  }
  preferredAction_ = std::move(action);
}

std::shared_ptr<UIButton> UIAlertController::buttonForAction(const UIAlertAction& action) const {
  for (const auto& [a, b] : buttons_) {
    if (a.lock().get() == &action) return b.lock();
  }
  return nullptr;
}

void UIAlertController::layoutActions() {
  auto box = box_.lock();
  if (!box) return;
  for (auto& [action, button] : buttons_) {
    if (auto b = button.lock()) b->removeFromSuperview();
  }
  buttons_.clear();
  // The cancel action comes last, as the platform shows it.
  auto ordered = actions_;
  std::stable_partition(ordered.begin(), ordered.end(),
                        [](const auto& a) { return a->style() != UIAlertAction::Style::cancel; });
  CGFloat y = textHeight();  // the box's top part, which keeps its place as the box shrinks
  std::weak_ptr<UIAlertController> weak = sharedAs<UIAlertController>();
  for (const auto& action : ordered) {
    auto button =
        std::make_shared<UIButton>(CGRect::make(0, y, box->bounds().width(), actionHeight));
    button->setTitle(action->title(), UIButton::State::normal);
    button->setEnabled(action->isEnabled());
    button->setAutoresizingMask(UIView::AutoresizingMask::flexibleWidth |
                                UIView::AutoresizingMask::flexibleBottomMargin);
    std::weak_ptr<UIAlertAction> weakAction = action;
    button->addTarget(
        std::weak_ptr<void>(weak.lock()),
        [weak, weakAction](UIControl&) {
          auto self = weak.lock();
          auto chosen = weakAction.lock();
          if (self && chosen) self->chose(chosen);
        },
        UIControl::Event::touchUpInside);
    box->addSubview(button);
    buttons_.emplace_back(action, button);
    y += actionHeight;
  }
}

void UIAlertController::chose(const std::shared_ptr<UIAlertAction>& action) {
  if (isBeingDismissed() || !action->isEnabled()) return;
  // The handler waits for the alert to have closed.
  dismiss(true, [action] {
    if (action->handler()) action->handler()(*action);
  });
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
  box_ = box->contentView();
  setView(view);
  layoutActions();
}

std::shared_ptr<UIPresentationController> UIAlertController::makePresentationController(
    const std::shared_ptr<UIViewController>& presenting) {
  return std::make_shared<UIAlertPresentationController>(sharedAs<UIAlertController>(), presenting);
}

}  // namespace UIKit
