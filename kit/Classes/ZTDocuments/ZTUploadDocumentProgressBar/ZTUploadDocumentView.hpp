#pragma once

#include <functional>
#include <string>

namespace ZentrelSDK {

// What the upload progress screen offers the model that drives it.
class ZTUploadDocumentView {
 public:
  virtual ~ZTUploadDocumentView() = default;

  // Percent, 0 to 100.
  virtual void setNewProgress(int progress) = 0;
  // The text of the stage label.
  virtual void setNewInfoLabel(const std::string& info) = 0;
  // Runs `completeAction` when the finish animation ends.
  virtual void showFinishAnimation(std::function<void()> completeAction) = 0;
  // Runs `action` after the screen has closed.
  virtual void close(std::function<void()> action) = 0;
};

}  // namespace ZentrelSDK
