#include "ZTWebViewController.hpp"

#include <Foundation/URL.hpp>
#include <Foundation/URLRequest.hpp>
#include <UIKit/UIColor.hpp>
#include <UIKit/UIView.hpp>

#include "ZTLogger.hpp"

namespace ZentrelSDK {

ZTWebViewController::ZTWebViewController(std::optional<std::string> nibName,
                                         std::shared_ptr<Foundation::Bundle> nibBundle)
    : UIViewController(std::move(nibName), std::move(nibBundle)) {}

void ZTWebViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  view()->setBackgroundColor(UIKit::UIColor::clear());
  view()->setOpaque(false);
}

void ZTWebViewController::viewWillAppear(bool animated) {
  UIViewController::viewWillAppear(animated);
  // Once: a screen that appears again keeps its page instead of stacking another one.
  if (!webView) initViews();
}

void ZTWebViewController::initViews() {
  const auto area = view()->bounds();
  activityIndicator = std::make_shared<UIKit::UIActivityIndicatorView>(area);
  activityIndicator->setColor(UIKit::UIColor::blue());

  WebKit::WKWebViewConfiguration configuration;
  configuration.preferences = std::make_shared<WebKit::WKPreferences>();
  configuration.preferences->javaScriptEnabled = true;
  webView = std::make_shared<WebKit::WKWebView>(area, configuration);
  webView->setContentMode(UIKit::UIView::ContentMode::scaleAspectFill);
  webView->setNavigationDelegate(sharedAs<ZTWebViewController>());

  auto address = url ? Foundation::URL::string(*url) : std::nullopt;
  if (address) {
    webView->load(Foundation::URLRequest(
        *address, Foundation::URLRequest::CachePolicy::useProtocolCachePolicy, 60));
  } else {
    ZTLogger::errorLog("ZTWebViewController: no valid URL to load (" + url.value_or("none") + ")");
  }
  view()->addSubview(webView);
  view()->addSubview(activityIndicator);
}

void ZTWebViewController::showActivityIndicator(bool show) {
  if (!activityIndicator) return;
  if (show) {
    activityIndicator->startAnimating();
  } else {
    activityIndicator->stopAnimating();
  }
}

void ZTWebViewController::backTouch() {
  dismiss(true);
}

void ZTWebViewController::didStartProvisionalNavigation(
    WebKit::WKWebView& webView, const std::shared_ptr<WebKit::WKNavigation>& /*navigation*/) {
  const auto& current = webView.url();
  if (current && current->host()) showActivityIndicator(true);
}

void ZTWebViewController::didFinish(WebKit::WKWebView& /*webView*/,
                                    const std::shared_ptr<WebKit::WKNavigation>& /*navigation*/) {
  showActivityIndicator(false);
}

void ZTWebViewController::didFail(WebKit::WKWebView& /*webView*/,
                                  const std::shared_ptr<WebKit::WKNavigation>& /*navigation*/,
                                  const Foundation::NSError& /*error*/) {
  closeAfterFailure();
}

void ZTWebViewController::didFailProvisionalNavigation(
    WebKit::WKWebView& /*webView*/, const std::shared_ptr<WebKit::WKNavigation>& /*navigation*/,
    const Foundation::NSError& /*error*/) {
  closeAfterFailure();
}

void ZTWebViewController::closeAfterFailure() {
  showActivityIndicator(false);
  dismiss(true);
}

}  // namespace ZentrelSDK
