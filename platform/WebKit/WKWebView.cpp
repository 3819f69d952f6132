#include "WebKit/WKWebView.hpp"

#include <mutex>

#include "Dispatch/DispatchQueue.hpp"
#include "Foundation/URLSession.hpp"
#include "Foundation/URLSessionTask.hpp"

namespace WebKit {

namespace {
std::uint64_t nextNavigationID() {
  static std::uint64_t id = 0;  // main thread only
  return ++id;
}

// The platform's way: the shared URL session. Any answer, error pages included, is a page.
class SessionLoader final : public WKPageLoader {
 public:
  std::function<void()> load(const Foundation::URLRequest& request, Reports reports) override {
    auto task = Foundation::URLSession::shared()->dataTask(
        request,
        [reports](std::optional<Foundation::Data>, std::shared_ptr<Foundation::URLResponse>,
                  std::optional<Foundation::NSError> error) {
          if (error) {
            reports.fail(*error);
            return;
          }
          reports.commit();
          reports.finish();
        });
    task->resume();
    return [task] { task->cancel(); };
  }
};

std::mutex loaderMutex;
std::shared_ptr<WKPageLoader>& installedLoader() {
  static auto* loader = new std::shared_ptr<WKPageLoader>;
  return *loader;
}
}  // namespace

void WKPageLoader::install(std::shared_ptr<WKPageLoader> loader) {
  std::lock_guard lock(loaderMutex);
  installedLoader() = std::move(loader);
}

std::shared_ptr<WKPageLoader> WKPageLoader::current() {
  std::lock_guard lock(loaderMutex);
  if (!installedLoader()) installedLoader() = std::make_shared<SessionLoader>();
  return installedLoader();
}

WKWebView::WKWebView(CGRect frame, const WKWebViewConfiguration& configuration)
    : UIView(frame), configuration_(configuration) {
  // A copy, so later changes to the caller's preferences do not reach this view.
  configuration_.preferences = std::make_shared<WKPreferences>(
      configuration.preferences ? *configuration.preferences : WKPreferences());
}

WKWebView::~WKWebView() {
  if (cancel_) cancel_();
}

std::shared_ptr<WKNavigation> WKWebView::load(const Foundation::URLRequest& request) {
  if (!request.url) return nullptr;
  stopLoading();
  navigation_ = std::make_shared<WKNavigation>(nextNavigationID());
  phase_ = Phase::provisional;
  loading_ = true;
  url_ = request.url;
  const auto id = navigation_->identifier();
  report(id,
         [this](WKNavigationDelegate& d) { d.didStartProvisionalNavigation(*this, navigation_); });

  std::weak_ptr<WKWebView> weak = std::static_pointer_cast<WKWebView>(weak_from_this().lock());
  auto onMain = [weak](std::function<void(WKWebView&)> step) {
    Dispatch::DispatchQueue::main().async([weak, step = std::move(step)] {
      if (auto view = weak.lock()) step(*view);
    });
  };
  WKPageLoader::Reports reports{[onMain, id] { onMain([id](WKWebView& v) { v.onCommit(id); }); },
                                [onMain, id] { onMain([id](WKWebView& v) { v.onFinish(id); }); },
                                [onMain, id](const Foundation::NSError& error) {
                                  onMain([id, error](WKWebView& v) { v.onFail(id, error); });
                                }};
  if (request.url->scheme() == "about") {
    reports.commit();
    reports.finish();
  } else {
    cancel_ = WKPageLoader::current()->load(request, std::move(reports));
  }
  return navigation_;
}

void WKWebView::stopLoading() {
  auto cancel = std::move(cancel_);
  cancel_ = nullptr;
  if (loading_) navigation_.reset();  // nothing more is told of it
  loading_ = false;
  if (cancel) cancel();
}

bool WKWebView::isCurrent(std::uint64_t identifier) const {
  return loading_ && navigation_ && navigation_->identifier() == identifier;
}

void WKWebView::report(std::uint64_t identifier, std::function<void(WKNavigationDelegate&)> call) {
  std::weak_ptr<WKWebView> weak = std::static_pointer_cast<WKWebView>(weak_from_this().lock());
  Dispatch::DispatchQueue::main().async([weak, identifier, call = std::move(call)] {
    auto view = weak.lock();
    if (!view || !view->navigation_ || view->navigation_->identifier() != identifier) return;
    if (auto delegate = view->navigationDelegate()) call(*delegate);
  });
}

void WKWebView::onCommit(std::uint64_t identifier) {
  if (!isCurrent(identifier) || phase_ == Phase::committed) return;
  phase_ = Phase::committed;
  if (auto delegate = navigationDelegate()) delegate->didCommit(*this, navigation_);
}

void WKWebView::onFinish(std::uint64_t identifier) {
  if (!isCurrent(identifier)) return;
  onCommit(identifier);  // a page always commits before it finishes
  loading_ = false;
  cancel_ = nullptr;
  if (auto delegate = navigationDelegate()) delegate->didFinish(*this, navigation_);
}

void WKWebView::onFail(std::uint64_t identifier, const Foundation::NSError& error) {
  if (!isCurrent(identifier)) return;
  loading_ = false;
  cancel_ = nullptr;
  auto delegate = navigationDelegate();
  if (!delegate) return;
  if (phase_ == Phase::committed) {
    delegate->didFail(*this, navigation_, error);
  } else {
    delegate->didFailProvisionalNavigation(*this, navigation_, error);
  }
}

}  // namespace WebKit
