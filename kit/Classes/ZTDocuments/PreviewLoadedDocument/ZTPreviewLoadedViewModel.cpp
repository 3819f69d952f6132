#include "ZTDocuments/PreviewLoadedDocument/ZTPreviewLoadedViewModel.hpp"

#include <utility>

#include <Dispatch/DispatchQueue.hpp>

#include "ZTAPI/ZTPrivateAPIDocuments.hpp"
#include "ZTLogger.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"

namespace ZentrelSDK {

namespace {
using Side = ZTPrivateAPIDocuments::DocumentSide;

std::string progressText(const Foundation::Result<double, Error>& progress) {
  return progress.isSuccess() ? std::to_string(progress.value())
                              : progress.error().localizedDescription();
}

// No image for bytes that do not decode.
std::shared_ptr<UIKit::UIImage> imageFrom(const Foundation::Data& bytes) {
  return UIKit::UIImage::withData(bytes);
}
}  // namespace

ZTPreviewLoadedViewModel::ZTPreviewLoadedViewModel(std::string id,
                                                   ZTPublicConstants::DocumentType type)
    : documentId_(std::move(id)), documentType_(type) {}

void ZTPreviewLoadedViewModel::setupDelegate(const std::shared_ptr<ZTPreviewLoadedView>& with) {
  delegate_ = with;
  getDocumentInfo();
}

void ZTPreviewLoadedViewModel::addAnotherDocument() {
  ZTLogger::warningLog("in progress (adding document)");
}

void ZTPreviewLoadedViewModel::getDocumentInfo() {
  std::weak_ptr<ZTPreviewLoadedViewModel> weak = weak_from_this();
  ZTPrivateAPIDocuments::getDocumentFromID(
      documentId_,
      [weak](ZTDocumentResponse record) {
        auto self = weak.lock();
        if (!self) return;
        self->documentStatus_ = record.status;
        self->documentData_ = std::move(record);
        if (auto view = self->delegate()) view->documentStatusDidUpdate();
        self->getFrontFile();
      },
      [weak](const std::string& message) {
        // A refused id fails inside the screen's view-loaded step, before anything could be
        // presented over it: show the message on a later turn.
        Dispatch::DispatchQueue::main().async([weak, message] {
          ZTUIUtilites::shared()->loaderDissmiss([weak, message] {
            if (!weak.lock()) return;
            ZTUIUtilites::shared()->errorAlert(message, [weak, message] {
              auto self = weak.lock();
              if (!self) return;
              if (auto view = self->delegate()) view->showError(message);
            });
          });
        });
      });
}

void ZTPreviewLoadedViewModel::getFrontFile() {
  std::weak_ptr<ZTPreviewLoadedViewModel> weak = weak_from_this();
  ZTPrivateAPIDocuments::getDocumentFile(
      documentId_, Side::front,
      [weak](Foundation::Result<Foundation::Data, Error> result) {
        auto self = weak.lock();
        if (!self) return;
        if (result.isSuccess()) {
          self->frontSideImage_ = imageFrom(result.value());
          if (auto view = self->delegate()) view->setFrontsidePhoto();
          self->getBackFile();
          return;
        }
        const auto message = result.error().localizedDescription();
        ZTUIUtilites::shared()->loaderDissmiss([weak, message] {
          if (auto self = weak.lock(); self && self->delegate())
            self->delegate()->showError(message);
          if (auto self = weak.lock(); self && self->delegate())
            self->delegate()->setFrontsidePhoto();
        });
      },
      [weak](const Foundation::Result<double, Error>& progress) {
        if (weak.lock())
          ZTLogger::warningLog("download progress (from calling place): " + progressText(progress));
      });
}

// Asked for whatever the record says of a back image.
void ZTPreviewLoadedViewModel::getBackFile() {
  std::weak_ptr<ZTPreviewLoadedViewModel> weak = weak_from_this();
  ZTPrivateAPIDocuments::getDocumentFile(
      documentId_, Side::back,
      [weak](Foundation::Result<Foundation::Data, Error> result) {
        auto self = weak.lock();
        if (!self) return;
        if (result.isSuccess()) self->backSideImage_ = imageFrom(result.value());
        if (auto view = self->delegate()) view->setBacksidePhoto();
      },
      [weak](const Foundation::Result<double, Error>& progress) {
        if (weak.lock())
          ZTLogger::warningLog("downloading back file progress " + progressText(progress));
      });
}

}  // namespace ZentrelSDK
