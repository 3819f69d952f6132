#include "ZTUIComponents/ZTWindowWatcher.hpp"

#include <utility>

#include <UIKit/UIViewControllerTransitioning.hpp>
#include <UIKit/UIWindow.hpp>

#include "ZTExtensions/ZTUIApplication.hpp"

namespace ZentrelSDK {

void ZTWindowWatcher::watch(const std::shared_ptr<UIKit::UIViewController>& controller,
                            std::function<void()> gone) {
  if (!controller || !gone) return;
  controller->view()->addSubview(std::make_shared<ZTWindowWatcher>(controller, std::move(gone)));
}

ZTWindowWatcher::ZTWindowWatcher(std::weak_ptr<UIKit::UIViewController> controller,
                                 std::function<void()> gone)
    : controller_(std::move(controller)),
      gone_(std::make_shared<std::function<void()>>(std::move(gone))) {
  setHidden(true);
  auto& center = Foundation::NotificationCenter::defaultCenter();
  for (const auto* name : {&UIKit::UIWindow::didBecomeHiddenNotification,
                           &UIKit::UIWindow::didBecomeKeyNotification}) {
    // Removed before this view goes, and posted on the main thread like the view's own calls.
    observers_.push_back(
        center.addObserver(*name, std::nullopt, nullptr, [this](const Foundation::Notification&) {
          if (wasInWindow_) check(controller_, gone_);
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
  check(controller_, gone_);
}

void ZTWindowWatcher::check(const std::weak_ptr<UIKit::UIViewController>& weak,
                            const std::shared_ptr<std::function<void()>>& gone) {
  auto controller = weak.lock();
  if (!controller || !*gone) return;
  // Mid-transition the chain is not settled yet: a screen over it may only be coming or going.
  if (auto coordinator = controller->transitionCoordinator()) {
    if (coordinator->animate(nullptr, [weak, gone](const auto&) { check(weak, gone); })) return;
  }
  if (ZTUIApplication::isShown(*controller)) return;
  std::exchange(*gone, nullptr)();
  // Left presented where nobody sees it, it would come back dead with a root the host puts
  // back, and take the next screen's place at the top of the chain.
  auto presenter = controller->presentingViewController();
  if (presenter && !controller->isBeingDismissed()) presenter->dismiss(false);
}

}  // namespace ZentrelSDK
