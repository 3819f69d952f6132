#pragma once

#include <memory>
#include <optional>
#include <string>

#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentResponse.hpp"
#include "ZTDocuments/PreviewLoadedDocument/ZTPreviewLoadedModel.hpp"

namespace ZentrelSDK {

// An uploaded document: its record (for the status), then its front image and, after that,
// its back image, each handed to the screen as it arrives. A request starts only when the
// one before it succeeded; results that arrive after the model has gone are dropped.
// Main thread only.
class ZTPreviewLoadedViewModel : public ZTPreviewLoadedModel,
                                 public std::enable_shared_from_this<ZTPreviewLoadedViewModel> {
 public:
  ZTPreviewLoadedViewModel(std::string id, ZTPublicConstants::DocumentType type);

  std::shared_ptr<ZTPreviewLoadedView> delegate() const override { return delegate_.lock(); }
  const std::string& documentId() const override { return documentId_; }
  ZTPublicConstants::DocumentType documentType() const override { return documentType_; }
  std::optional<ZTPublicConstants::DocumentStatusType> documentStatus() const override {
    return documentStatus_;
  }
  std::shared_ptr<UIKit::UIImage> frontSideImage() const override { return frontSideImage_; }
  std::shared_ptr<UIKit::UIImage> backSideImage() const override { return backSideImage_; }

  // Each call starts the loading anew.
  void setupDelegate(const std::shared_ptr<ZTPreviewLoadedView>& with) override;
  // Not built yet: only logged.
  void addAnotherDocument() override;

 private:
  void getDocumentInfo();
  void getFrontFile();
  void getBackFile();

  std::string documentId_;
  std::weak_ptr<ZTPreviewLoadedView> delegate_;
  ZTPublicConstants::DocumentType documentType_;
  std::optional<ZTPublicConstants::DocumentStatusType> documentStatus_;
  std::shared_ptr<UIKit::UIImage> frontSideImage_;
  std::shared_ptr<UIKit::UIImage> backSideImage_;
  std::optional<ZTDocumentResponse> documentData_;
};

}  // namespace ZentrelSDK
