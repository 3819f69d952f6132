#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <Foundation/Timer.hpp>
#include <Foundation/URL.hpp>
#include <UIKit/UIImage.hpp>

#include "ZTDocuments/NewDocumentPreview/ZTDocumentPreviewModel.hpp"
#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDocumentModel.hpp"
#include "ZTUtilites/ZTRuns.hpp"

namespace ZentrelSDK {

// The new document behind its preview screen: the two sides' photos and the upload pipeline
// (file check, create, front, back, confirm), then a status request each second until
// recognition ends or 15 requests went out, all under the upload progress screen. Main
// thread only.
class ZTDocumentPreviewViewModel : public ZTDocumentPreviewModel,
                                   public std::enable_shared_from_this<ZTDocumentPreviewViewModel> {
 public:
  ZTDocumentPreviewViewModel(std::shared_ptr<UIKit::UIImage> draft, Foundation::URL imageUrl,
                             ZTPublicConstants::DocumentType type);
  ~ZTDocumentPreviewViewModel() override;

  std::shared_ptr<ZTDocumentPreviewView> delegate() const override { return delegate_.lock(); }
  ZTPublicConstants::DocumentType documentType() const override { return documentType_; }
  void setDocumentType(ZTPublicConstants::DocumentType type) { documentType_ = type; }
  std::optional<ZTPublicConstants::DocumentStatusType> documentStatus() const override {
    return documentStatus_;
  }
  void setDocumentStatus(std::optional<ZTPublicConstants::DocumentStatusType> status) {
    documentStatus_ = status;
  }
  std::shared_ptr<UIKit::UIImage> frontSideImage() const override { return frontSideImage_; }
  void setFrontSideImage(std::shared_ptr<UIKit::UIImage> image) { frontSideImage_ = image; }
  std::shared_ptr<UIKit::UIImage> backSideImage() const override { return backSideImage_; }
  void setBackSideImage(std::shared_ptr<UIKit::UIImage> image) { backSideImage_ = image; }
  // Declared for the host's use; the pipeline keeps its own id.
  std::optional<std::string> documentId;

  void setupDelegate(const std::shared_ptr<ZTDocumentPreviewView>& with) override;
  // Listen for the side's next photo, then open the photo source sheet; its cancel ends
  // the listening.
  void takeFrontsidePhoto() override;
  void takeBacksidePhoto() override;
  // Ignored while a run is in progress.
  void submitDocument() override;
  void clearCacheAndListeners() override;
  // Presents the loading status screen.
  void documentDidSuccessfullySubmitted() override;
  void documentDidFailedSubmitted(const std::string& error) override;

 private:
  enum class PhotoSide { front, back };

  void checkFile();
  void createDock();
  void uploadFront();
  void uploadBack();
  void confirmDock();
  void getDocumentStatus();
  static bool statusIsValid(ZTPublicConstants::DocumentStatusType status);
  void finishCheckingStatus(ZTPublicConstants::DocumentStatusType status);
  void takePhoto(PhotoSide side);
  void addListener(PhotoSide forSide);
  void clearCache();
  void unregisterAllEvents();
  void stopUploadingProcess(const std::string& error);

  // The relay's percentage for an upload fraction, `base + fraction * span`, sent only when
  // it changes the whole percent; a fraction that is not finite is dropped.
  void showFraction(double fraction, int base, int span);
  void showPercent(int percent);
  void changeInfo(const std::string& info);
  void stopTimer();

  // A step's callback that acts only while this submit's run goes on; one holds the model
  // weakly, the other keeps it until the callback goes.
  template <class Body>
  auto inRun(Body body) {
    return runs_.guard(weak_from_this(), std::move(body));
  }
  template <class Body>
  auto inRunHolding(Body body) {
    return runs_.guard(shared_from_this(), std::move(body));
  }

  std::weak_ptr<ZTDocumentPreviewView> delegate_;
  ZTPublicConstants::DocumentType documentType_;
  std::optional<ZTPublicConstants::DocumentStatusType> documentStatus_;
  std::shared_ptr<UIKit::UIImage> frontSideImage_;
  std::shared_ptr<UIKit::UIImage> backSideImage_;
  std::optional<std::string> sessionId_;
  std::optional<Foundation::URL> urlFrontImage_;
  std::optional<Foundation::URL> urlBackImage_;
  std::shared_ptr<Foundation::Timer> checkStatusTimer_;
  std::shared_ptr<ZTUploadDocumentModel> uploadDocumentModel_;

  // One submit is one run; it ends when the finish or the interruption begins, or when the
  // ring could not come up. Answers of another run or after the end are stale.
  ZTRuns runs_;
  bool running_ = false;  // from submit until the ring has closed
};

// Ends a successful submission by closing the preview and announcing the modification, for
// the documents list's own flow.
class ZTDocumentPreviewInternalViewModel : public ZTDocumentPreviewViewModel {
 public:
  using ZTDocumentPreviewViewModel::ZTDocumentPreviewViewModel;
  void documentDidSuccessfullySubmitted() override;
};

}  // namespace ZentrelSDK
