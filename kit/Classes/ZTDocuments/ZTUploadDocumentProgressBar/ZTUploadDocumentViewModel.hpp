#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDocumentModel.hpp"

namespace ZentrelSDK {

// Relays one upload's percentage, stage text, finish and interruption to the progress screen
// that registered with it. One per submit. Main thread only.
class ZTUploadDocumentViewModel : public ZTUploadDocumentModel,
                                  public std::enable_shared_from_this<ZTUploadDocumentViewModel> {
 public:
  ZTUploadDocumentViewModel() = default;

  std::shared_ptr<ZTUploadDocumentView> delegate() const override { return delegate_.lock(); }
  int progress() const override { return progress_; }
  void setupDelegate(const std::shared_ptr<ZTUploadDocumentView>& with) override;
  // Stored even with no screen to show it.
  void changeProgress(int to) override;
  void changeInfo(const std::string& info) override;
  // With no screen the action runs at once, so the pipeline never waits on a screen that is
  // not there.
  void finishUploading(std::function<void()> action) override;
  void interruptUploading(std::function<void()> action) override;

 private:
  std::weak_ptr<ZTUploadDocumentView> delegate_;
  int progress_ = 0;
};

}  // namespace ZentrelSDK
