#pragma once

#include <memory>
#include <optional>
#include <string>

#include <UIKit/UIActivityIndicatorView.hpp>
#include <UIKit/UIViewController.hpp>
#include <WebKit/WKWebView.hpp>

namespace ZentrelSDK {

// A modal screen showing one web page, built in code: a web view filling the screen and a
// blue activity indicator above it that turns from the start of a navigation to a host
// until the page has loaded. It closes itself when a navigation fails, before or after the
// page started to arrive.
class ZTWebViewController : public UIKit::UIViewController, public WebKit::WKNavigationDelegate {
 public:
  explicit ZTWebViewController(std::optional<std::string> nibName = std::nullopt,
                               std::shared_ptr<Foundation::Bundle> nibBundle = nullptr);

  // The address to load; set it before the screen is shown. An absent or invalid one shows
  // the screen without loading anything (logged).
  std::optional<std::string> url;

  // Dismisses the screen, animated.
  void backTouch();
  // Yes starts the indicator, no stops (and so hides) it.
  void showActivityIndicator(bool show);

  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;

  void didStartProvisionalNavigation(
      WebKit::WKWebView& webView, const std::shared_ptr<WebKit::WKNavigation>& navigation) override;
  void didFinish(WebKit::WKWebView& webView,
                 const std::shared_ptr<WebKit::WKNavigation>& navigation) override;
  void didFail(WebKit::WKWebView& webView, const std::shared_ptr<WebKit::WKNavigation>& navigation,
               const Foundation::NSError& error) override;
  // Handled like a failure after the commit, so an unreachable page never leaves the user
  // with an endless indicator and no way out.
  void didFailProvisionalNavigation(WebKit::WKWebView& webView,
                                    const std::shared_ptr<WebKit::WKNavigation>& navigation,
                                    const Foundation::NSError& error) override;

 private:
  void initViews();
  void closeAfterFailure();

  std::shared_ptr<WebKit::WKWebView> webView;
  std::shared_ptr<UIKit::UIActivityIndicatorView> activityIndicator;
};

}  // namespace ZentrelSDK
