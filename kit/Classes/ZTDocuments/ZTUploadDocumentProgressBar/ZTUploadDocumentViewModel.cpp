#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDocumentViewModel.hpp"

#include <utility>

namespace ZentrelSDK {

void ZTUploadDocumentViewModel::setupDelegate(const std::shared_ptr<ZTUploadDocumentView>& with) {
  delegate_ = with;
}

void ZTUploadDocumentViewModel::changeProgress(int to) {
  progress_ = to;
  if (auto screen = delegate()) screen->setNewProgress(progress_);
}

void ZTUploadDocumentViewModel::changeInfo(const std::string& info) {
  if (auto screen = delegate()) screen->setNewInfoLabel(info);
}

void ZTUploadDocumentViewModel::finishUploading(std::function<void()> action) {
  auto screen = delegate();
  if (!screen) {
    if (action) action();
    return;
  }
  std::weak_ptr<ZTUploadDocumentViewModel> weakSelf = weak_from_this();
  screen->showFinishAnimation([weakSelf, action = std::move(action)]() mutable {
    auto self = weakSelf.lock();
    auto shown = self ? self->delegate() : nullptr;
    if (!shown) {
      if (action) action();
      return;
    }
    shown->close(std::move(action));
  });
}

void ZTUploadDocumentViewModel::interruptUploading(std::function<void()> action) {
  auto screen = delegate();
  if (!screen) {
    if (action) action();
    return;
  }
  screen->close(std::move(action));
}

}  // namespace ZentrelSDK
