#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDocumentView.hpp"

namespace ZentrelSDK {

// Drives the upload progress screen. The model holds its screen (`delegate`) weakly.
class ZTUploadDocumentModel {
 public:
  virtual ~ZTUploadDocumentModel() = default;

  // The screen that shows the progress, while it lives.
  virtual std::shared_ptr<ZTUploadDocumentView> delegate() const = 0;
  // Percent, 0 to 100.
  virtual int progress() const = 0;
  // Swift `setupDelegate(with:)`.
  virtual void setupDelegate(const std::shared_ptr<ZTUploadDocumentView>& with) = 0;
  // Swift `changeProgress(to:)`.
  virtual void changeProgress(int to) = 0;
  virtual void changeInfo(const std::string& info) = 0;
  // The screen plays its finish animation, then closes and runs `action`.
  virtual void finishUploading(std::function<void()> action) = 0;
  // The screen closes and runs `action`.
  virtual void interruptUploading(std::function<void()> action) = 0;
};

}  // namespace ZentrelSDK
