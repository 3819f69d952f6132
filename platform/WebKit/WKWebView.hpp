#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "Foundation/NSError.hpp"
#include "Foundation/URL.hpp"
#include "Foundation/URLRequest.hpp"
#include "UIKit/UIView.hpp"

namespace WebKit {

using UIKit::CGRect;

// Swift `WKPreferences`, as far as pages need it.
class WKPreferences {
 public:
  bool javaScriptEnabled = true;
};

// Swift `WKWebViewConfiguration`; a web view keeps a copy of the one it was made with.
class WKWebViewConfiguration {
 public:
  std::shared_ptr<WKPreferences> preferences = std::make_shared<WKPreferences>();
};

// One navigation, as the delegate is told of it; identity only.
class WKNavigation {
 public:
  explicit WKNavigation(std::uint64_t identifier) : identifier_(identifier) {}
  std::uint64_t identifier() const { return identifier_; }

 private:
  std::uint64_t identifier_;
};

class WKWebView;

// Swift `WKNavigationDelegate`. Swift names each callback `webView(_:...)`; here each takes
// its label's name. Called on the main thread, each on a later turn than what caused it.
class WKNavigationDelegate {
 public:
  virtual ~WKNavigationDelegate() = default;
  virtual void didStartProvisionalNavigation(WKWebView& /*webView*/,
                                             const std::shared_ptr<WKNavigation>& /*navigation*/) {}
  // The first bytes of the page have arrived.
  virtual void didCommit(WKWebView& /*webView*/,
                         const std::shared_ptr<WKNavigation>& /*navigation*/) {}
  virtual void didFinish(WKWebView& /*webView*/,
                         const std::shared_ptr<WKNavigation>& /*navigation*/) {}
  // Before the commit (unreachable host, refused request...).
  virtual void didFailProvisionalNavigation(WKWebView& /*webView*/,
                                            const std::shared_ptr<WKNavigation>& /*navigation*/,
                                            const Foundation::NSError& /*error*/) {}
  // After the commit.
  virtual void didFail(WKWebView& /*webView*/, const std::shared_ptr<WKNavigation>& /*navigation*/,
                       const Foundation::NSError& /*error*/) {}
};

// Fetches pages for web views: the URL session by default; tests put their own in place
// (PlatformTesting::WebKitDriver). It reports each load's outcome through `Reports`, from
// any thread: the web view moves to the main thread itself.
class WKPageLoader {
 public:
  struct Reports {
    std::function<void()> commit;                          // the response has arrived
    std::function<void()> finish;                          // the whole page has arrived
    std::function<void(const Foundation::NSError&)> fail;  // before or after the commit
  };
  virtual ~WKPageLoader() = default;
  // Returns what cancels the load; after it, no report counts.
  virtual std::function<void()> load(const Foundation::URLRequest& request, Reports reports) = 0;

  // Null restores the URL session.
  static void install(std::shared_ptr<WKPageLoader> loader);
  static std::shared_ptr<WKPageLoader> current();
};

// Loads pages and reports navigations to its delegate; nothing is rendered. "about:" URLs
// load without the network. A new load or stopLoading drops the running navigation without
// further reports.
class WKWebView : public UIKit::UIView {
 public:
  explicit WKWebView(CGRect frame = {},
                     const WKWebViewConfiguration& configuration = WKWebViewConfiguration());
  ~WKWebView() override;

  const WKWebViewConfiguration& configuration() const { return configuration_; }
  std::shared_ptr<WKNavigationDelegate> navigationDelegate() const {
    return navigationDelegate_.lock();
  }
  // Held weakly, as on the platform.
  void setNavigationDelegate(std::weak_ptr<WKNavigationDelegate> delegate) {
    navigationDelegate_ = std::move(delegate);
  }

  // Starts a navigation; its start is told on a later turn of the main run loop. A request
  // without a URL loads nothing and returns null.
  std::shared_ptr<WKNavigation> load(const Foundation::URLRequest& request);
  void stopLoading();
  // The URL of the current navigation, from its start.
  const std::optional<Foundation::URL>& url() const { return url_; }
  bool isLoading() const { return loading_; }

 private:
  enum class Phase { provisional, committed };
  void report(std::uint64_t identifier, std::function<void(WKNavigationDelegate&)> call);
  void onCommit(std::uint64_t identifier);
  void onFinish(std::uint64_t identifier);
  void onFail(std::uint64_t identifier, const Foundation::NSError& error);
  bool isCurrent(std::uint64_t identifier) const;

  WKWebViewConfiguration configuration_;
  std::weak_ptr<WKNavigationDelegate> navigationDelegate_;
  std::optional<Foundation::URL> url_;
  bool loading_ = false;
  std::shared_ptr<WKNavigation> navigation_;
  Phase phase_ = Phase::provisional;
  std::function<void()> cancel_;
};

}  // namespace WebKit
