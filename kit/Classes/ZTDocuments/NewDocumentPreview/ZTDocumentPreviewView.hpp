#pragma once

#include <functional>
#include <string>

namespace ZentrelSDK {

// What the new-document screen offers its view model. Main thread only.
class ZTDocumentPreviewView {
 public:
  virtual ~ZTDocumentPreviewView() = default;

  virtual void setFrontsidePhoto() = 0;
  virtual void setBacksidePhoto() = 0;
  virtual void documentStatusDidUpdate() = 0;
  virtual void lockDocumentChanging() = 0;
  virtual void deleteBacksidePhoto() = 0;
  // Presents the loading status screen over this one.
  virtual void showLoadingProcess() = 0;
  virtual void showCongratulation() = 0;
  // Closes the screen, then runs `action`.
  virtual void finalAction(std::function<void()> action) = 0;
  virtual void showError(const std::string& error) = 0;
};

}  // namespace ZentrelSDK
