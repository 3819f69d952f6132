#include "ZTDocumentsManager.hpp"

#include <utility>

#include "ZTAPI/ZTPrivateAPIDocuments.hpp"
#include "ZTCustomCameraView/ZTPhotoProcessor.hpp"
#include "ZTDocuments/NewDocumentPreview/ZTDocumentPreviewViewModel.hpp"
#include "ZTDocuments/NewDocumentPreview/ZTNewDocumentPreviewViewController.hpp"
#include "ZTDocuments/PreviewLoadedDocument/ZTPreviewLoadedDocumentViewController.hpp"
#include "ZTDocuments/PreviewLoadedDocument/ZTPreviewLoadedViewModel.hpp"
#include "ZTEvents.hpp"
#include "ZTExtensions/ZTUIApplication.hpp"
#include "ZTLogger.hpp"
#include "ZTPrivateDocumentsManager.hpp"

namespace ZentrelSDK {

namespace {
// The manager whose capture waits for its first photo; one at a time, so a photo never
// opens two previews.
std::weak_ptr<ZTDocumentsManager>& waitingCapture() {
  static std::weak_ptr<ZTDocumentsManager> waiting;
  return waiting;
}
}  // namespace

const std::shared_ptr<ZTDocumentsManager>& ZTDocumentsManager::shared() {
  static const std::shared_ptr<ZTDocumentsManager> instance =
      std::make_shared<ZTDocumentsManager>();
  return instance;
}

const std::shared_ptr<ZTPrivateDocumentsManager>& ZTPrivateDocumentsManager::shared() {
  static const std::shared_ptr<ZTPrivateDocumentsManager> instance =
      std::make_shared<ZTPrivateDocumentsManager>();
  return instance;
}

ZTDocumentsManager::~ZTDocumentsManager() {
  ZTEvents::shared()->unregiterEvents(this);
}

void ZTDocumentsManager::beginUploadingNewDocument(ZTPublicConstants::DocumentType ofType) {
  if (auto earlier = waitingCapture().lock()) earlier->unregisterAllEvents();
  waitingCapture() = weak_from_this();
  std::weak_ptr<ZTDocumentsManager> weakSelf = weak_from_this();
  ZTEvents::shared()->mediaCreatedEventListen(
      shared_from_this(), [weakSelf, ofType](std::shared_ptr<ZTCameraData> media) {
        auto self = weakSelf.lock();
        if (!self) return;
        self->handleGetting(media, ofType);
        self->unregisterAllEvents();
      });
  ZTPhotoProcessor::shared()->showPhotoSourceAlert(
      nullptr, [self = shared_from_this()] { self->unregisterAllEvents(); });
}

void ZTDocumentsManager::handleGetting(const std::shared_ptr<ZTCameraData>& newMedia,
                                       ZTPublicConstants::DocumentType forType) {
  if (!newMedia || newMedia->getMediaType() != MediaType::photo) return;
  const auto url = newMedia->getURL();
  auto image = ZTPhotoProcessor::shared()->createImageFrom(url);
  if (!image) return;
  openNewDocumentPreview(std::move(image), *url, forType);
}

void ZTDocumentsManager::openNewDocumentPreview(std::shared_ptr<UIKit::UIImage> with,
                                                Foundation::URL imageUrl,
                                                ZTPublicConstants::DocumentType forType) {
  auto top = ZTUIApplication::topViewController();
  if (!top) return;
  auto screen = std::make_shared<ZTNewDocumentPreviewViewController>(
      makeViewModel(std::move(with), std::move(imageUrl), forType));
  screen->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
  ZTUIApplication::present(*top, screen, true);
}

void ZTDocumentsManager::unregisterAllEvents() {
  ZTEvents::shared()->unregiterEvents(this);
  if (waitingCapture().lock().get() == this) waitingCapture().reset();
}

std::shared_ptr<ZTDocumentPreviewViewModel> ZTDocumentsManager::makeViewModel(
    std::shared_ptr<UIKit::UIImage> draft, Foundation::URL imageUrl,
    ZTPublicConstants::DocumentType type) const {
  return std::make_shared<ZTDocumentPreviewViewModel>(std::move(draft), std::move(imageUrl), type);
}

void ZTPrivateDocumentsManager::getDocumentsList(
    std::int64_t limit, std::int64_t offset, const std::optional<Statuses>& status,
    std::function<void(std::vector<DocumentItem>)> success, ErrorEvent errorEvent) {
  ZTPrivateAPIDocuments::getDocuments(limit, offset, status, std::move(success),
                                      std::move(errorEvent));
}

void ZTPrivateDocumentsManager::openLoadedDocument(const std::string& id,
                                                   ZTPublicConstants::DocumentType type) {
  // Such an id names no document and cannot travel as a path segment.
  if (id.empty() || id == "." || id == "..") {
    ZTLogger::errorLog("no uploaded document has the id \"" + id + "\"");
    return;
  }
  auto top = ZTUIApplication::topViewController();
  if (!top) return;
  auto screen = std::make_shared<ZTPreviewLoadedDocumentViewController>(
      std::make_shared<ZTPreviewLoadedViewModel>(id, type));
  screen->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
  ZTUIApplication::present(*top, screen, true);
}

std::shared_ptr<ZTDocumentPreviewViewModel> ZTPrivateDocumentsManager::makeViewModel(
    std::shared_ptr<UIKit::UIImage> draft, Foundation::URL imageUrl,
    ZTPublicConstants::DocumentType type) const {
  return std::make_shared<ZTDocumentPreviewInternalViewModel>(std::move(draft), std::move(imageUrl),
                                                              type);
}

}  // namespace ZentrelSDK
