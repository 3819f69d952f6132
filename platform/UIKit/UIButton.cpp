#include "UIKit/UIButton.hpp"

#include "UIKit/InterfaceCoder.hpp"
#include "UIKit/UIImage.hpp"
#include "UIKit/UILabel.hpp"

namespace UIKit {

namespace {
template <class T>
void store(std::map<UIButton::State, T>& values, UIButton::State state, std::optional<T> value) {
  if (value) {
    values[state] = std::move(*value);
  } else {
    values.erase(state);
  }
}
}  // namespace

UIButton::UIButton(CGRect frame) : UIControl(frame), titleLabel_(std::make_shared<UILabel>()) {
  titleLabel_->setFrame(bounds());
  titleLabel_->setAutoresizingMask(AutoresizingMask::flexibleWidth |
                                   AutoresizingMask::flexibleHeight);
  titleLabel_->setTextAlignment(NSTextAlignment::center);
  titleLabel_->setUserInteractionEnabled(false);
  addSubview(titleLabel_);
}

template <class T>
T UIButton::lookup(const std::map<State, T>& values, State state) {
  if (auto it = values.find(state); it != values.end()) return it->second;
  if (auto it = values.find(State::normal); it != values.end()) return it->second;
  return T{};
}

void UIButton::setTitle(std::optional<std::string> title, State state) {
  store(titles_, state, std::move(title));
  refresh();
}

std::optional<std::string> UIButton::title(State state) const {
  if (!titles_.contains(state) && !titles_.contains(State::normal)) return std::nullopt;
  return lookup(titles_, state);
}

void UIButton::setImage(std::shared_ptr<UIImage> image, State state) {
  store(images_, state, image ? std::optional(std::move(image)) : std::nullopt);
}

std::shared_ptr<UIImage> UIButton::image(State state) const {
  return lookup(images_, state);
}

void UIButton::setBackgroundImage(std::shared_ptr<UIImage> image, State state) {
  store(backgroundImages_, state, image ? std::optional(std::move(image)) : std::nullopt);
}

std::shared_ptr<UIImage> UIButton::backgroundImage(State state) const {
  return lookup(backgroundImages_, state);
}

UIButton::State UIButton::state() const {
  // One state at a time is shown, the platform's order of precedence.
  if (!isEnabled()) return State::disabled;
  if (isHighlighted()) return State::highlighted;
  if (isSelected()) return State::selected;
  return State::normal;
}

void UIButton::setEnabled(bool enabled) {
  UIControl::setEnabled(enabled);
  refresh();
}

void UIButton::setSelected(bool selected) {
  UIControl::setSelected(selected);
  refresh();
}

void UIButton::setHighlighted(bool highlighted) {
  UIControl::setHighlighted(highlighted);
  refresh();
}

void UIButton::refresh() {
  titleLabel_->setText(currentTitle());
}

std::optional<std::string> UIButton::accessibilityLabel() const {
  if (auto label = UIView::accessibilityLabel()) return label;
  return currentTitle();
}

void UIButton::decodeInterface(InterfaceCoder& coder) {
  UIControl::decodeInterface(coder);
  if (auto title = coder.decodeString("title")) setTitle(*title, State::normal);
  if (auto image = coder.decodeImage("image")) setImage(image, State::normal);
  if (auto image = coder.decodeImage("backgroundImage")) setBackgroundImage(image, State::normal);
}

}  // namespace UIKit
