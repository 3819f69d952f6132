#include "ZTUIComponents/ZTWindowWatcher.hpp"

#include <utility>

#include <UIKit/UIViewControllerTransitioning.hpp>
#include <UIKit/UIWindow.hpp>

#include "ZTExtensions/ZTUIApplication.hpp"

namespace ZentrelSDK {

void ZTWindowWatcher::watch(const std::shared_ptr<UIKit::UIViewController>& controller,
                            std::function<void()> gone) {
  if (!controller || !gone) return;
  std::weak_ptr<UIKit::UIViewController> weak = controller;
  controller->view()->addSubview(std::make_shared<ZTWindowWatcher>(
      weak,
      [weak, gone = std::move(gone)] {
        gone();
        takeOff(weak);
      },
      true));
}

bool ZTWindowWatcher::stillSeen(const std::shared_ptr<UIKit::UIViewController>& controller) {
  auto watcher = controller ? of(*controller, true) : nullptr;
  if (!watcher || !watcher->wasInWindow_) return true;
  if (!watcher->gone_) return false;
  if (ZTUIApplication::isSeen(*controller)) return true;
  watcher->end();
  return false;
}

ZTWindowWatcher::ZTWindowWatcher(std::weak_ptr<UIKit::UIViewController> controller,
                                 std::function<void()> gone, bool listens)
    : controller_(std::move(controller)), gone_(std::move(gone)), listens_(listens) {
  setHidden(true);
  if (!listens) return;
  auto& center = Foundation::NotificationCenter::defaultCenter();
  for (const auto* name : {&UIKit::UIWindow::didBecomeKeyNotification,
                           &UIKit::UIWindow::didBecomeVisibleNotification}) {
    // Removed before this view goes, and posted on the main thread like the view's own calls.
    observers_.push_back(
        center.addObserver(*name, std::nullopt, nullptr, [this](const Foundation::Notification&) {
          if (wasInWindow_) check();
        }));
  }
}

ZTWindowWatcher::~ZTWindowWatcher() {
  for (const auto& observer : observers_)
    Foundation::NotificationCenter::defaultCenter().removeObserver(observer);
}

void ZTWindowWatcher::didMoveToWindow() {
  if (window()) {
    wasInWindow_ = true;
    return;
  }
  check();
}

std::shared_ptr<ZTWindowWatcher> ZTWindowWatcher::of(const UIKit::UIViewController& controller,
                                                     bool listens) {
  const auto& view = controller.viewIfLoaded();
  if (!view) return nullptr;
  for (const auto& subview : view->subviews()) {
    auto watcher = std::dynamic_pointer_cast<ZTWindowWatcher>(subview);
    // A host's screen may hold spent watchers: only a live one still waits on it.
    if (watcher && watcher->listens_ == listens && (listens || watcher->gone_)) return watcher;
  }
  return nullptr;
}

void ZTWindowWatcher::check() {
  auto controller = controller_.lock();
  if (!controller || !gone_) return;
  // Mid-transition the chain is not settled yet: a screen over it may only be coming or going.
  if (auto coordinator = controller->transitionCoordinator()) {
    auto weak = weakAs<ZTWindowWatcher>();
    if (coordinator->animate(nullptr, [weak](const auto&) {
          if (auto self = weak.lock()) self->check();
        }))
      return;
  }
  if (!ZTUIApplication::isShown(*controller)) end();
}

void ZTWindowWatcher::end() {
  // `gone` may let the screen, and with it this view, go.
  auto self = sharedAs<ZTWindowWatcher>();
  if (auto gone = std::exchange(gone_, nullptr)) gone();
}

// Left presented where nobody sees it, a screen would come back dead with a root the host puts
// back, and take the next screen's place at the top of the chain.
void ZTWindowWatcher::takeOff(const std::weak_ptr<UIKit::UIViewController>& weak) {
  auto screen = weak.lock();
  if (!screen || screen->isBeingDismissed()) return;
  auto presenter = screen->presentingViewController();
  if (!presenter) return;
  for (auto above = screen->presentedViewController(); above;
       above = above->presentedViewController()) {
    if (ZTUIApplication::presentedByKit(*above)) continue;
    // The host's own screen is the host's to close; the kit's goes once it has.
    if (!of(*above, false)) {
      above->view()->addSubview(std::make_shared<ZTWindowWatcher>(
          above, [weak] { takeOff(weak); }, false));
    }
    return;
  }
  presenter->dismiss(false);
}

}  // namespace ZentrelSDK
