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
using Self = ZTDocumentPreviewViewModel;

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

// The pipeline: check the file, create, front, back, confirm, poll. Each step hands on to the
// next from its answer, and every answer acts only while its run goes on.

void ZTDocumentPreviewViewModel::submitDocument() {
  if (running_) return;
  running_ = true;
  runs_.begin();
  auto relay = std::make_shared<ZTUploadDocumentViewModel>();
  uploadDocumentModel_ = relay;
  ZTUIUtilites::shared()->presentUploadDocumentProgressBar(
      relay, inRunHolding([](Self& self) { self.checkFile(); }));
  // Queued after the presenter's block: a ring that was not presented has no screen by
  // now, and the run ends so the next submit is not refused.
  Dispatch::DispatchQueue::main().async(
      inRun([weakRelay = std::weak_ptr<ZTUploadDocumentModel>(relay)](Self& self) {
        auto shown = weakRelay.lock();
        if (shown && shown->delegate()) return;
        self.runs_.end();
        self.running_ = false;
        self.uploadDocumentModel_ = nullptr;
      }));
}

void ZTDocumentPreviewViewModel::checkFile() {
  if (!urlFrontImage_) return stopUploadingProcess(kSomethingWrong);
  changeInfo("Validation");
  ZTPrivateAPIDocuments::validateDocumentFile(
      *urlFrontImage_, inRunHolding([](Self& self) { self.createDock(); }),
      // The check's fractions are not shown: the ring stays at 0 until the front upload.
      nullptr, inRunHolding([](Self& self, const std::string& text) {
        self.stopUploadingProcess(text);
        self.documentDidFailedSubmitted(text);
      }));
}

void ZTDocumentPreviewViewModel::createDock() {
  ZTPrivateAPIDocuments::createDocument(
      documentType_, ZTPublicConstants::AreaType::Internal, "",
      inRun([](Self& self, const ZTDocumentCreateResponse& answer) {
        self.changeInfo("Uploading");
        self.sessionId_ = answer.message;
        self.uploadFront();
      }),
      inRun([](Self& self, const std::string& text) {
        self.stopUploadingProcess(text);
        self.documentDidFailedSubmitted(Foundation::lowercased(text));
      }));
}

void ZTDocumentPreviewViewModel::uploadFront() {
  // An empty id names no document: it is as good as none.
  if (!urlFrontImage_ || !sessionId_ || sessionId_->empty()) {
    return stopUploadingProcess(kSomethingWrong);
  }
  const int span = urlBackImage_ ? 33 : 67;
  ZTPrivateAPIDocuments::uploadDocumentFileFront(
      *sessionId_, *urlFrontImage_,
      inRun([](Self& self, const ZTDocumentUploadResponse&) { self.uploadBack(); }),
      inRun([span](Self& self, double fraction) { self.showFraction(fraction, 0, span); }),
      inRun([](Self& self, const std::string& text) {
        self.stopUploadingProcess(text);
        self.documentDidFailedSubmitted(Foundation::lowercased(text));
      }));
}

void ZTDocumentPreviewViewModel::uploadBack() {
  if (!urlBackImage_ || !sessionId_) return confirmDock();
  ZTPrivateAPIDocuments::uploadDocumentFileBack(
      *sessionId_, *urlBackImage_,
      inRun([](Self& self, const ZTDocumentUploadResponse&) { self.confirmDock(); }),
      inRunHolding([](Self& self, double fraction) { self.showFraction(fraction, 33, 34); }),
      inRun([](Self& self, const std::string& text) { self.stopUploadingProcess(text); }));
}

void ZTDocumentPreviewViewModel::confirmDock() {
  if (!sessionId_) return;
  ZTPrivateAPIDocuments::confirmDocumentUpload(
      *sessionId_, inRun([](Self& self, const std::string&) {
        self.getDocumentStatus();
        self.changeInfo("Recognition");
        self.showPercent(68);
      }),
      inRun([](Self& self, const std::string& text) { self.stopUploadingProcess(text); }));
}

void ZTDocumentPreviewViewModel::getDocumentStatus() {
  if (!sessionId_) return;
  stopTimer();
  checkStatusTimer_ = Foundation::Timer::scheduledTimer(
      kStatusInterval, true,
      inRun([id = *sessionId_, ticks = 0](Self& self, Foundation::Timer&) mutable {
        if (ticks >= kMaxStatusRequests) {
          self.stopTimer();
          self.finishCheckingStatus(Status::Recognition);
          return;
        }
        ++ticks;
        self.showPercent(68 + 2 * ticks);
        ZTPrivateAPIDocuments::getDocumentFromID(
            id, self.inRun([](Self& model, const ZTDocumentResponse& answer) {
              if (!statusIsValid(answer.status)) return;
              model.stopTimer();
              model.finishCheckingStatus(answer.status);
            }),
            [](const std::string& text) {
              ZTLogger::errorLog(Foundation::uppercased(text), __FILE__, "getDocumentStatus()");
            });
      }));
}

bool ZTDocumentPreviewViewModel::statusIsValid(Status status) {
  return status != Status::Draft && status != Status::Recognition;
}

// The two ends of a run. Their actions come after the ring has closed, when the run has already
// ended, so they look only at whether a newer submit has begun since.

void ZTDocumentPreviewViewModel::finishCheckingStatus(Status status) {
  runs_.end();
  documentStatus_ = status;
  auto done = [weakSelf = weak_from_this(), run = runs_.current()] {
    auto self = weakSelf.lock();
    if (!self) return;
    if (self->runs_.current() == run) self->running_ = false;
    self->documentDidSuccessfullySubmitted();
  };
  if (!uploadDocumentModel_) return done();
  uploadDocumentModel_->finishUploading(std::move(done));
}

void ZTDocumentPreviewViewModel::stopUploadingProcess(const std::string& error) {
  runs_.end();
  stopTimer();
  auto done = [weakSelf = weak_from_this(), run = runs_.current(), error] {
    auto self = weakSelf.lock();
    if (!self) return;
    if (self->runs_.current() == run) {
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
