#include "ZTDocuments/NewDocumentPreview/ZTDocumentPreviewViewModel.hpp"

#include <cmath>
#include <utility>

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/FileManager.hpp>
#include <Foundation/StringCasing.hpp>

#include "ZTAPI/ZTPrivateAPIDocuments.hpp"
#include "ZTCustomCameraView/ZTPhotoProcessor.hpp"
#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDocumentViewModel.hpp"
#include "ZTEvents.hpp"
#include "ZTLogger.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

using Status = ZTPublicConstants::DocumentStatusType;

namespace {
const std::string kSomethingWrong = "Something went wrong.\nPlease, try again later";
constexpr int kMaxStatusRequests = 15;
constexpr Foundation::TimeInterval kStatusInterval = 1.0;
}  // namespace

ZTDocumentPreviewViewModel::ZTDocumentPreviewViewModel(std::shared_ptr<UIKit::UIImage> draft,
                                                       Foundation::URL imageUrl,
                                                       ZTPublicConstants::DocumentType type)
    : documentType_(type),
      documentStatus_(Status::Draft),
      frontSideImage_(std::move(draft)),
      urlFrontImage_(std::move(imageUrl)) {}

ZTDocumentPreviewViewModel::~ZTDocumentPreviewViewModel() {
  stopTimer();
  ZTEvents::shared()->unregiterEvents(this);
}

void ZTDocumentPreviewViewModel::setupDelegate(const std::shared_ptr<ZTDocumentPreviewView>& with) {
  delegate_ = with;
}

// Sides.

void ZTDocumentPreviewViewModel::takeFrontsidePhoto() {
  takePhoto(PhotoSide::front);
}

void ZTDocumentPreviewViewModel::takeBacksidePhoto() {
  takePhoto(PhotoSide::back);
}

void ZTDocumentPreviewViewModel::takePhoto(PhotoSide side) {
  addListener(side);
  ZTPhotoProcessor::shared()->showPhotoSourceAlert(
      nullptr, [self = shared_from_this()] { self->unregisterAllEvents(); });
}

void ZTDocumentPreviewViewModel::addListener(PhotoSide forSide) {
  unregisterAllEvents();
  std::weak_ptr<ZTDocumentPreviewViewModel> weakSelf = weak_from_this();
  ZTEvents::shared()->mediaCreatedEventListen(
      shared_from_this(), [weakSelf, forSide](std::shared_ptr<ZTCameraData> media) {
        auto self = weakSelf.lock();
        if (!self) return;
        if (!media || media->getMediaType() != MediaType::photo) {
          self->unregisterAllEvents();
          return;
        }
        const auto url = media->getURL();
        auto image = ZTPhotoProcessor::shared()->createImageFrom(url);
        if (forSide == PhotoSide::front) {
          self->urlFrontImage_ = url;
          self->frontSideImage_ = std::move(image);
          if (auto screen = self->delegate()) screen->setFrontsidePhoto();
        } else {
          self->urlBackImage_ = url;
          self->backSideImage_ = std::move(image);
          if (auto screen = self->delegate()) screen->setBacksidePhoto();
        }
      });
}

void ZTDocumentPreviewViewModel::unregisterAllEvents() {
  ZTEvents::shared()->unregiterEvents(this);
}

void ZTDocumentPreviewViewModel::clearCacheAndListeners() {
  clearCache();
  unregisterAllEvents();
}

void ZTDocumentPreviewViewModel::clearCache() {
  auto& files = Foundation::FileManager::defaultManager();
  const auto folder =
      files.temporaryDirectory().path() + "/" + std::string(ZTConstants::DOCKS_CACHE_FOLDER);
  if (!files.fileExists(folder)) return;
  auto removed = files.removeItem(folder);
  if (removed.isFailure()) {
    ZTLogger::errorLog(removed.error().localizedDescription(), __FILE__, "clearCache()");
  }
}

// Outcomes.

void ZTDocumentPreviewViewModel::documentDidSuccessfullySubmitted() {
  if (auto screen = delegate()) screen->showLoadingProcess();
}

void ZTDocumentPreviewViewModel::documentDidFailedSubmitted(const std::string& error) {
  if (auto screen = delegate()) screen->showError(error);
}

void ZTDocumentPreviewInternalViewModel::documentDidSuccessfullySubmitted() {
  if (auto screen = delegate()) {
    screen->finalAction([] { ZTEvents::shared()->documentModificationEventEmit(); });
  }
}

// The pipeline.

void ZTDocumentPreviewViewModel::submitDocument() {
  if (running_) return;
  running_ = true;
  ended_ = false;
  const auto run = ++run_;
  auto relay = std::make_shared<ZTUploadDocumentViewModel>();
  uploadDocumentModel_ = relay;
  ZTUIUtilites::shared()->presentUploadDocumentProgressBar(relay, [self = shared_from_this(), run] {
    if (self->isLive(run)) self->checkFile();
  });
  // Queued after the presenter's block: a ring that was not presented has no screen by
  // now, and the run ends so the next submit is not refused.
  std::weak_ptr<ZTDocumentPreviewViewModel> weakSelf = weak_from_this();
  std::weak_ptr<ZTUploadDocumentModel> weakRelay = relay;
  Dispatch::DispatchQueue::main().async([weakSelf, weakRelay, run] {
    auto self = weakSelf.lock();
    auto shown = weakRelay.lock();
    if (!self || !self->isLive(run) || (shown && shown->delegate())) return;
    self->running_ = false;
    self->uploadDocumentModel_ = nullptr;
  });
}

void ZTDocumentPreviewViewModel::checkFile() {
  if (!urlFrontImage_) return stopUploadingProcess(kSomethingWrong);
  changeInfo("Validation");
  const auto run = run_;
  auto self = shared_from_this();
  ZTPrivateAPIDocuments::validateDocumentFile(
      *urlFrontImage_,
      [self, run] {
        if (self->isLive(run)) self->createDock();
      },
      // The check's fractions are not shown: the ring stays at 0 until the front upload.
      nullptr,
      [self, run](const std::string& text) {
        if (!self->isLive(run)) return;
        self->stopUploadingProcess(text);
        self->documentDidFailedSubmitted(text);
      });
}

void ZTDocumentPreviewViewModel::createDock() {
  const auto run = run_;
  std::weak_ptr<ZTDocumentPreviewViewModel> weakSelf = weak_from_this();
  ZTPrivateAPIDocuments::createDocument(
      documentType_, ZTPublicConstants::AreaType::Internal, "",
      [weakSelf, run](const ZTDocumentCreateResponse& answer) {
        auto self = weakSelf.lock();
        if (!self || !self->isLive(run)) return;
        self->changeInfo("Uploading");
        self->sessionId_ = answer.message;
        self->uploadFront();
      },
      [weakSelf, run](const std::string& text) {
        auto self = weakSelf.lock();
        if (!self || !self->isLive(run)) return;
        self->stopUploadingProcess(text);
        self->documentDidFailedSubmitted(Foundation::lowercased(text));
      });
}

void ZTDocumentPreviewViewModel::uploadFront() {
  // An empty id names no document: it is as good as none.
  if (!urlFrontImage_ || !sessionId_ || sessionId_->empty()) {
    return stopUploadingProcess(kSomethingWrong);
  }
  const auto run = run_;
  const int span = urlBackImage_ ? 33 : 67;
  std::weak_ptr<ZTDocumentPreviewViewModel> weakSelf = weak_from_this();
  ZTPrivateAPIDocuments::uploadDocumentFileFront(
      *sessionId_, *urlFrontImage_,
      [weakSelf, run](const ZTDocumentUploadResponse&) {
        auto self = weakSelf.lock();
        if (self && self->isLive(run)) self->uploadBack();
      },
      [weakSelf, run, span](double fraction) {
        auto self = weakSelf.lock();
        if (self && self->isLive(run)) self->showFraction(fraction, 0, span);
      },
      [weakSelf, run](const std::string& text) {
        auto self = weakSelf.lock();
        if (!self || !self->isLive(run)) return;
        self->stopUploadingProcess(text);
        self->documentDidFailedSubmitted(Foundation::lowercased(text));
      });
}

void ZTDocumentPreviewViewModel::uploadBack() {
  if (!urlBackImage_ || !sessionId_) return confirmDock();
  const auto run = run_;
  std::weak_ptr<ZTDocumentPreviewViewModel> weakSelf = weak_from_this();
  ZTPrivateAPIDocuments::uploadDocumentFileBack(
      *sessionId_, *urlBackImage_,
      [weakSelf, run](const ZTDocumentUploadResponse&) {
        auto self = weakSelf.lock();
        if (self && self->isLive(run)) self->confirmDock();
      },
      [self = shared_from_this(), run](double fraction) {
        if (self->isLive(run)) self->showFraction(fraction, 33, 34);
      },
      [weakSelf, run](const std::string& text) {
        auto self = weakSelf.lock();
        if (self && self->isLive(run)) self->stopUploadingProcess(text);
      });
}

void ZTDocumentPreviewViewModel::confirmDock() {
  if (!sessionId_) return;
  const auto run = run_;
  std::weak_ptr<ZTDocumentPreviewViewModel> weakSelf = weak_from_this();
  ZTPrivateAPIDocuments::confirmDocumentUpload(
      *sessionId_,
      [weakSelf, run](const std::string&) {
        auto self = weakSelf.lock();
        if (!self || !self->isLive(run)) return;
        self->getDocumentStatus();
        self->changeInfo("Recognition");
        self->showPercent(68);
      },
      [weakSelf, run](const std::string& text) {
        auto self = weakSelf.lock();
        if (self && self->isLive(run)) self->stopUploadingProcess(text);
      });
}

void ZTDocumentPreviewViewModel::getDocumentStatus() {
  if (!sessionId_) return;
  const auto run = run_;
  const std::string id = *sessionId_;
  std::weak_ptr<ZTDocumentPreviewViewModel> weakSelf = weak_from_this();
  stopTimer();
  checkStatusTimer_ = Foundation::Timer::scheduledTimer(
      kStatusInterval, true, [weakSelf, run, id, ticks = 0](Foundation::Timer&) mutable {
        auto self = weakSelf.lock();
        if (!self || !self->isLive(run)) return;
        if (ticks >= kMaxStatusRequests) {
          self->stopTimer();
          self->finishCheckingStatus(Status::Recognition);
          return;
        }
        ++ticks;
        self->showPercent(68 + 2 * ticks);
        ZTPrivateAPIDocuments::getDocumentFromID(
            id,
            [weakSelf, run](const ZTDocumentResponse& answer) {
              auto self = weakSelf.lock();
              if (!self || !self->isLive(run) || !statusIsValid(answer.status)) return;
              self->stopTimer();
              self->finishCheckingStatus(answer.status);
            },
            [](const std::string& text) {
              ZTLogger::errorLog(Foundation::uppercased(text), __FILE__, "getDocumentStatus()");
            });
      });
}

bool ZTDocumentPreviewViewModel::statusIsValid(Status status) {
  return status != Status::Draft && status != Status::Recognition;
}

void ZTDocumentPreviewViewModel::finishCheckingStatus(Status status) {
  ended_ = true;
  documentStatus_ = status;
  const auto run = run_;
  std::weak_ptr<ZTDocumentPreviewViewModel> weakSelf = weak_from_this();
  auto done = [weakSelf, run] {
    auto self = weakSelf.lock();
    if (!self) return;
    if (self->run_ == run) self->running_ = false;
    self->documentDidSuccessfullySubmitted();
  };
  if (!uploadDocumentModel_) return done();
  uploadDocumentModel_->finishUploading(std::move(done));
}

void ZTDocumentPreviewViewModel::stopUploadingProcess(const std::string& error) {
  ended_ = true;
  stopTimer();
  const auto run = run_;
  std::weak_ptr<ZTDocumentPreviewViewModel> weakSelf = weak_from_this();
  auto done = [weakSelf, run, error] {
    auto self = weakSelf.lock();
    if (!self) return;
    if (self->run_ == run) {
      self->uploadDocumentModel_ = nullptr;
      self->running_ = false;
    }
    if (auto screen = self->delegate()) screen->showError(error);
  };
  if (!uploadDocumentModel_) return done();
  uploadDocumentModel_->interruptUploading(std::move(done));
}

// Progress.

void ZTDocumentPreviewViewModel::showFraction(double fraction, int base, int span) {
  if (!std::isfinite(fraction)) return;
  const double clamped = std::fmin(std::fmax(fraction, 0.0), 1.0);
  showPercent(base + static_cast<int>(clamped * span));
}

void ZTDocumentPreviewViewModel::showPercent(int percent) {
  if (!uploadDocumentModel_ || uploadDocumentModel_->progress() == percent) return;
  uploadDocumentModel_->changeProgress(percent);
}

void ZTDocumentPreviewViewModel::changeInfo(const std::string& info) {
  if (uploadDocumentModel_) uploadDocumentModel_->changeInfo(info);
}

void ZTDocumentPreviewViewModel::stopTimer() {
  if (checkStatusTimer_) checkStatusTimer_->invalidate();
  checkStatusTimer_ = nullptr;
}

}  // namespace ZentrelSDK
