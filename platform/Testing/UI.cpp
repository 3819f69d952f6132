#include "Testing/UI.hpp"

#include "Foundation/RunLoop.hpp"
#include "Testing/ManualClock.hpp"
#include "UIKit/UIActivityIndicatorView.hpp"
#include "UIKit/UIAlertController.hpp"
#include "UIKit/UIKeyInput.hpp"
#include "UIKit/UIKeyboard.hpp"
#include "UIKit/UINavigationController.hpp"
#include "UIKit/UITabBarController.hpp"
#include "UIKit/UITextField.hpp"
#include "UIKit/UIViewController.hpp"
#include "UIKit/UIWindow.hpp"
#include "UIKit/UTF16.hpp"

namespace PlatformTesting {

using namespace UIKit;

namespace {
void collect(const std::shared_ptr<UIView>& view, std::vector<std::shared_ptr<UIView>>& out) {
  out.push_back(view);
  const auto& subviews = view->subviews();
  for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) collect(*it, out);
}

std::shared_ptr<UIView> firstKeyInput(const std::shared_ptr<UIView>& view) {
  if (dynamic_cast<UIKeyInput*>(view.get())) return view;
  for (const auto& sub : view->subviews()) {
    if (auto found = firstKeyInput(sub)) return found;
  }
  return nullptr;
}
}  // namespace

UI::UI() : UI(std::make_shared<UIViewController>()) {}

UI::UI(std::shared_ptr<UIViewController> root) : window_(std::make_shared<UIWindow>()) {
  window_->setRootViewController(std::move(root));
  window_->makeKeyAndVisible();
  settle();
}

UI::~UI() {
  if (auto first = UIResponder::currentFirstResponder()) first->resignFirstResponder();
  window_->setRootViewController(nullptr);
  window_->setHidden(true);
  window_.reset();
  settle();
}

std::shared_ptr<UIViewController> UI::root() const {
  return window_->rootViewController();
}

std::vector<std::shared_ptr<UIView>> UI::allViews() const {
  std::vector<std::shared_ptr<UIView>> views;
  collect(window_, views);
  return views;
}

std::shared_ptr<UIView> UI::findText(std::string_view text) const {
  for (const auto& view : allViews()) {
    if (view->accessibilityLabel() == text) return view;
  }
  return nullptr;
}

bool UI::tap(const std::shared_ptr<UIView>& view) {
  if (!view || view->window() != window_) return false;
  const CGRect b = view->bounds();
  const CGPoint centre = view->convertTo(CGPoint{b.midX(), b.midY()}, nullptr);
  auto hit = tapAt(centre);
  return hit && hit->isDescendant(*view);
}

std::shared_ptr<UIView> UI::tapAt(CGPoint point) {
  auto hit = window_->sendTap(point);
  settle();
  return hit;
}

bool UI::type(std::string_view text, const std::shared_ptr<UIView>& into) {
  if (into) {
    auto input = firstKeyInput(into);
    if (!input) return false;
    if (!input->isFirstResponder() && (!tap(input) || !input->isFirstResponder())) return false;
  }
  for (const auto& key : codePoints(text)) {
    auto* input = dynamic_cast<UIKeyInput*>(UIResponder::currentFirstResponder().get());
    if (!input) return false;
    input->insertText(key);
    settle();
  }
  return true;
}

bool UI::deleteBackward(std::size_t times) {
  for (std::size_t i = 0; i < times; ++i) {
    auto* input = dynamic_cast<UIKeyInput*>(UIResponder::currentFirstResponder().get());
    if (!input) return false;
    input->deleteBackward();
    settle();
  }
  return true;
}

std::shared_ptr<UIViewController> UI::frontmost() const {
  auto current = window_->rootViewController();
  while (current) {
    if (auto presented = current->presentedViewController()) {
      current = presented;
    } else if (auto nav = std::dynamic_pointer_cast<UINavigationController>(current);
               nav && nav->topViewController()) {
      current = nav->topViewController();
    } else if (auto tab = std::dynamic_pointer_cast<UITabBarController>(current);
               tab && tab->selectedViewController()) {
      current = tab->selectedViewController();
    } else {
      break;
    }
  }
  return current;
}

std::optional<std::string> UI::alertTitle() const {
  auto alert = std::dynamic_pointer_cast<UIAlertController>(frontmost());
  return alert ? alert->title() : std::nullopt;
}

std::optional<std::string> UI::alertMessage() const {
  auto alert = std::dynamic_pointer_cast<UIAlertController>(frontmost());
  return alert ? alert->message() : std::nullopt;
}

bool UI::isLoaderShowing() const {
  for (const auto& spinner : findAll<UIActivityIndicatorView>()) {
    if (spinner->isAnimating() && !spinner->isEffectivelyHidden()) return true;
  }
  return false;
}

bool UI::isKeyboardVisible() const {
  return UIKeyboard::shared().isVisible();
}

std::shared_ptr<UIResponder> UI::firstResponder() const {
  return UIResponder::currentFirstResponder();
}

void UI::advance(Foundation::TimeInterval seconds) {
  ManualClock::install().advance(seconds);
}

bool UI::runUntil(const std::function<bool()>& condition, Foundation::TimeInterval realSeconds) {
  return Foundation::RunLoop::main().runUntil(condition, realSeconds);
}

void UI::settle() {
  Foundation::RunLoop::main().runPending();
}

}  // namespace PlatformTesting
