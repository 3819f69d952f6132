#pragma once

#include <memory>
#include <string>

namespace ZentrelSDK {

// Opens web pages on the kit's modal web screen.
class ZTWebView {
 public:
  static const std::shared_ptr<ZTWebView>& shared();
  virtual ~ZTWebView() = default;

  // Presents a web screen for `url` over the current context of the topmost view controller,
  // animated; with no topmost controller nothing is shown.
  virtual void openURL(const std::string& url);

  ZTWebView() = default;
};

}  // namespace ZentrelSDK
