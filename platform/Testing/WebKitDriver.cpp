#include "Testing/WebKitDriver.hpp"

#include <algorithm>
#include <deque>

#include "Foundation/RunLoop.hpp"

namespace PlatformTesting {

struct WebKitDriver::State : WebKit::WKPageLoader {
  struct Load {
    WebKit::WKPageLoader::Reports reports;
    bool committed = false;
    std::shared_ptr<bool> cancelled = std::make_shared<bool>(false);
  };
  std::vector<Foundation::URLRequest> requests;
  std::deque<Load> loads;

  std::function<void()> load(const Foundation::URLRequest& request, Reports reports) override {
    requests.push_back(request);
    Load entry;
    entry.reports = std::move(reports);
    auto cancelled = entry.cancelled;
    loads.push_back(std::move(entry));
    return [cancelled] { *cancelled = true; };
  }

  Load* oldest() {
    while (!loads.empty() && *loads.front().cancelled) loads.pop_front();
    return loads.empty() ? nullptr : &loads.front();
  }
};

WebKitDriver::WebKitDriver() : state_(std::make_shared<State>()) {
  WebKit::WKPageLoader::install(state_);
}

WebKitDriver::~WebKitDriver() {
  WebKit::WKPageLoader::install(nullptr);
}

std::vector<Foundation::URLRequest> WebKitDriver::requests() const {
  return state_->requests;
}

std::size_t WebKitDriver::pendingCount() const {
  return static_cast<std::size_t>(std::count_if(state_->loads.begin(), state_->loads.end(),
                                                [](const auto& l) { return !*l.cancelled; }));
}

bool WebKitDriver::commit() {
  auto* load = state_->oldest();
  if (!load) return false;
  if (!load->committed) load->reports.commit();
  load->committed = true;
  Foundation::RunLoop::main().runPending();
  return true;
}

bool WebKitDriver::finish() {
  auto* load = state_->oldest();
  if (!load) return false;
  auto reports = load->reports;
  state_->loads.pop_front();
  reports.commit();
  reports.finish();
  Foundation::RunLoop::main().runPending();
  return true;
}

bool WebKitDriver::fail(const Foundation::NSError& error) {
  auto* load = state_->oldest();
  if (!load) return false;
  auto reports = load->reports;
  state_->loads.pop_front();
  reports.fail(error);
  Foundation::RunLoop::main().runPending();
  return true;
}

bool WebKitDriver::failUnreachable() {
  return fail(Foundation::NSError::urlError(Foundation::NSURLErrorCannotConnectToHost));
}

}  // namespace PlatformTesting
