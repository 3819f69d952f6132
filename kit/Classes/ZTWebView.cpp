#include "ZTWebView.hpp"

#include "ZTExtensions/ZTUIApplication.hpp"
#include "ZTWebViewController.hpp"

namespace ZentrelSDK {

const std::shared_ptr<ZTWebView>& ZTWebView::shared() {
  static const auto instance = std::make_shared<ZTWebView>();
  return instance;
}

void ZTWebView::openURL(const std::string& url) {
  auto top = ZTUIApplication::topViewController();
  if (!top) return;
  auto controller = std::make_shared<ZTWebViewController>();
  controller->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
  controller->url = url;
  ZTUIApplication::present(*top, controller, true);
}

}  // namespace ZentrelSDK
