#pragma once

#include <functional>
#include <string>

namespace ZentrelSDK {

// What the uploaded-document screen offers its view model. Main thread only.
class ZTPreviewLoadedView {
 public:
  virtual ~ZTPreviewLoadedView() = default;

  // Show the model's side image (possibly none) and end that side's waiting state.
  virtual void setFrontsidePhoto() = 0;
  virtual void setBacksidePhoto() = 0;
  virtual void documentStatusDidUpdate() = 0;
  // Closes the screen, then runs `withAction`.
  virtual void dismiss(std::function<void()> withAction) = 0;
  virtual void showError(const std::string& error) = 0;
};

}  // namespace ZentrelSDK
