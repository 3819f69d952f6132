#include "UIKit/UIApplication.hpp"

#include <algorithm>

#include <Foundation/NotificationCenter.hpp>

#include "UIKit/UIWindow.hpp"

namespace UIKit {

UIApplication& UIApplication::shared() {
  static auto* application = new UIApplication;  // used by windows released at exit
  return *application;
}

std::shared_ptr<UIWindow> UIApplication::keyWindow() const {
  return keyWindow_.lock();
}

std::vector<std::shared_ptr<UIWindow>> UIApplication::windows() const {
  std::vector<std::shared_ptr<UIWindow>> live;
  for (const auto& w : windows_) {
    if (auto window = w.lock()) live.push_back(window);
  }
  return live;
}

void UIApplication::addWindow(const std::shared_ptr<UIWindow>& window) {
  std::erase_if(windows_, [&](const std::weak_ptr<UIWindow>& w) {
    auto live = w.lock();
    return !live || live == window;
  });
  windows_.push_back(window);
}

void UIApplication::makeKey(const std::shared_ptr<UIWindow>& window) {
  addWindow(window);
  auto previous = keyWindow_.lock();
  if (previous == window) return;
  keyWindow_ = window;
  auto& center = Foundation::NotificationCenter::defaultCenter();
  if (previous) center.post(UIWindow::didResignKeyNotification, Foundation::Any(previous));
  center.post(UIWindow::didBecomeKeyNotification, Foundation::Any(window));
}

void UIApplication::removeWindow(const UIWindow* window) {
  std::erase_if(windows_, [&](const std::weak_ptr<UIWindow>& w) {
    auto live = w.lock();
    return !live || live.get() == window;
  });
  auto key = keyWindow_.lock();
  if (!key || key.get() == window) keyWindow_.reset();
}

}  // namespace UIKit
