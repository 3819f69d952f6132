#include "Testing/UI.hpp"

#include <cmath>
#include <functional>

#include "Foundation/RunLoop.hpp"
#include "Testing/ManualClock.hpp"
#include "UIKit/UIActivityIndicatorView.hpp"
#include "UIKit/UIAlertController.hpp"
#include "UIKit/UIButton.hpp"
#include "UIKit/UIImage.hpp"
#include "UIKit/UIImagePickerController.hpp"
#include "UIKit/UIKeyInput.hpp"
#include "UIKit/UIKeyboard.hpp"
#include "UIKit/UIMenuController.hpp"
#include "UIKit/UINavigationController.hpp"
#include "UIKit/UIPanGestureRecognizer.hpp"
#include "UIKit/UIPasteboard.hpp"
#include "UIKit/UIScrollView.hpp"
#include "UIKit/UITabBarController.hpp"
#include "UIKit/UITableView.hpp"
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

CGPoint centreOf(const UIView& view) {
  const CGRect b = view.bounds();
  return view.convertTo(CGPoint{b.midX(), b.midY()}, nullptr);
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

bool UI::paste(std::optional<std::string> text, const std::shared_ptr<UIView>& into) {
  if (text) UIPasteboard::general().setString(std::move(text));
  if (into && !type("", into)) return false;
  auto view = std::dynamic_pointer_cast<UIView>(UIResponder::currentFirstResponder());
  if (!view) return false;
  auto& menu = UIMenuController::shared();
  menu.showMenu(view, view->bounds());
  const bool pasted = menu.choose("paste:");
  menu.hideMenu();
  settle();
  return pasted;
}

bool UI::longPress(const std::shared_ptr<UIView>& view, Foundation::TimeInterval seconds) {
  if (!view || view->window() != window_) return false;
  auto hit = window_->beginTouches({centreOf(*view)});
  settle();
  advance(seconds);
  window_->endTouches();
  settle();
  return hit && hit->isDescendant(*view);
}

bool UI::pan(const std::shared_ptr<UIView>& view, const std::vector<CGPoint>& path,
             bool cancelled) {
  if (!view || view->window() != window_ || path.empty()) return false;
  auto hit = window_->beginTouches({view->convertTo(path.front(), nullptr)});
  for (std::size_t i = 1; i < path.size(); ++i) {
    window_->moveTouches({view->convertTo(path[i], nullptr)});
    settle();
  }
  if (cancelled)
    window_->cancelTouches();
  else
    window_->endTouches();
  settle();
  return hit && hit->isDescendant(*view);
}

bool UI::pinch(const std::shared_ptr<UIView>& view, const std::vector<CGFloat>& scales) {
  if (!view || view->window() != window_) return false;
  const CGPoint c = centreOf(*view);
  constexpr CGFloat half = 50;
  auto fingers = [&](CGFloat scale) {
    return std::vector<CGPoint>{{c.x - half * scale, c.y}, {c.x + half * scale, c.y}};
  };
  auto hit = window_->beginTouches(fingers(1));
  for (const auto scale : scales) {
    window_->moveTouches(fingers(scale));
    settle();
  }
  window_->endTouches();
  settle();
  return hit && hit->isDescendant(*view);
}

bool UI::pullToRefresh(const std::shared_ptr<UIScrollView>& scrollView) {
  if (!scrollView) return false;
  const CGPoint top = scrollView->minimumContentOffset();
  return drag(scrollView, {top.x, top.y - UIScrollView::refreshPullDistance - 20});
}

bool UI::tapRow(const std::shared_ptr<UIKit::UITableView>& table, int row, int section) {
  if (!table) return false;
  auto cell = table->cellForRow({row, section});
  return cell && tap(cell);
}

bool UI::drag(const std::shared_ptr<UIScrollView>& scrollView, CGPoint target) {
  if (!scrollView || !std::isfinite(target.x) || !std::isfinite(target.y)) return false;
  const CGPoint from = scrollView->contentOffset();
  const CGPoint delta{from.x - target.x, from.y - target.y};  // the finger moves against it
  if (std::hypot(delta.x, delta.y) < UIPanGestureRecognizer::hysteresis) return false;
  const CGRect b = scrollView->bounds();
  const CGPoint start{b.midX(), b.midY()};
  // In a few steps, in the content's coordinates as they were when the finger came down.
  std::vector<CGPoint> path;
  constexpr int steps = 4;
  for (int i = 0; i <= steps; ++i) {
    const CGFloat t = static_cast<CGFloat>(i) / steps;
    path.push_back({start.x + delta.x * t, start.y + delta.y * t});
  }
  std::vector<CGPoint> inWindow;
  for (const auto& p : path) inWindow.push_back(scrollView->convertTo(p, nullptr));
  auto hit = window_->beginTouches({inWindow.front()});
  if (!hit || !hit->isDescendant(*scrollView)) {
    window_->cancelTouches();
    return false;
  }
  for (std::size_t i = 1; i < inWindow.size(); ++i) {
    window_->moveTouches({inWindow[i]});
    settle();
  }
  const bool dragging = scrollView->isDragging();
  window_->endTouches();
  settle();
  return dragging;
}

namespace {
std::shared_ptr<UIImagePickerControllerDelegate> pickerDelegate(
    const std::shared_ptr<UIViewController>& front, UIImagePickerController*& picker) {
  picker = dynamic_cast<UIImagePickerController*>(front.get());
  return picker ? picker->delegate() : nullptr;
}
}  // namespace

bool UI::pick(const std::shared_ptr<UIImage>& image) {
  return pick(std::map<std::string, Foundation::Any>{
      {UIImagePickerController::originalImage, Foundation::Any(image)}});
}

bool UI::pick(const std::map<std::string, Foundation::Any>& info) {
  const auto front = frontmost();
  UIImagePickerController* picker = nullptr;
  const auto delegate = pickerDelegate(front, picker);
  if (!delegate) return false;
  delegate->imagePickerController(*picker, info);
  settle();
  return true;
}

bool UI::cancelPick() {
  const auto front = frontmost();
  UIImagePickerController* picker = nullptr;
  const auto delegate = pickerDelegate(front, picker);
  if (!delegate) return false;
  delegate->imagePickerControllerDidCancel(*picker);
  settle();
  return true;
}

bool UI::chooseAction(std::string_view title) {
  auto alert = std::dynamic_pointer_cast<UIAlertController>(frontmost());
  if (!alert) return false;
  for (const auto& action : alert->actions()) {
    if (action->title() != title) continue;
    auto button = alert->buttonForAction(*action);
    return button && tap(button);
  }
  return false;
}

void UI::visitVisible(const std::function<bool(const std::shared_ptr<UIView>&)>& visit) const {
  auto front = frontmost();
  auto top = front ? front->viewIfLoaded() : nullptr;
  if (!top || top->window() != window_) return;
  std::function<void(const std::shared_ptr<UIView>&, CGRect)> walk =
      [&](const std::shared_ptr<UIView>& view, CGRect visible) {
        if (view->isHidden() || view->alpha() < 0.01) return;
        const CGRect box = view->convertTo(view->bounds(), nullptr);
        if (!box.intersects(visible) && !box.isEmpty()) return;
        if (view->clipsToBounds()) visible = visible.intersection(box);
        if (!visit(view)) return;
        for (const auto& sub : view->subviews()) walk(sub, visible);
      };
  walk(top, window_->bounds());
}

std::vector<std::string> UI::visibleTexts() const {
  std::vector<std::string> texts;
  visitVisible([&](const std::shared_ptr<UIView>& view) {
    auto text = view->accessibilityLabel();
    if (!text || text->empty()) return true;
    texts.push_back(*text);
    return false;  // what it holds shows the same text
  });
  return texts;
}

std::vector<std::shared_ptr<UIView>> UI::visibleViews() const {
  std::vector<std::shared_ptr<UIView>> views;
  visitVisible([&](const std::shared_ptr<UIView>& view) {
    views.push_back(view);
    return true;
  });
  return views;
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
