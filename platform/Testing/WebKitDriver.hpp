#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "Foundation/NSError.hpp"
#include "Foundation/URLRequest.hpp"
#include "WebKit/WKWebView.hpp"

namespace PlatformTesting {

// Takes the network's place for web views while it lives: their page loads wait here until
// the test decides how each ends. Each outcome is for the oldest load still waiting; what
// it causes (the delegate's calls) has run when the call returns. Main thread only.
class WebKitDriver {
 public:
  WebKitDriver();
  ~WebKitDriver();  // back to the URL session; loads still waiting never end
  WebKitDriver(const WebKitDriver&) = delete;
  WebKitDriver& operator=(const WebKitDriver&) = delete;

  // Every request web views asked to load, in order (cancelled ones included).
  std::vector<Foundation::URLRequest> requests() const;
  // Loads waiting for an outcome (not cancelled, not ended).
  std::size_t pendingCount() const;

  // Each returns false when no load is waiting.
  bool commit();                                // the first bytes arrive
  bool finish();                                // the page arrives (commits first)
  bool fail(const Foundation::NSError& error);  // provisional or after commit
  bool failUnreachable();                       // cannot connect to the host

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace PlatformTesting
