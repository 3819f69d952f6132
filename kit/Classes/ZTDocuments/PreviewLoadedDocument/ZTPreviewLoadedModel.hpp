#pragma once

#include <memory>
#include <optional>
#include <string>

#include <UIKit/UIImage.hpp>

#include "ZTDocuments/PreviewLoadedDocument/ZTPreviewLoadedView.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// What the uploaded-document screen asks of its view model. Main thread only.
class ZTPreviewLoadedModel {
 public:
  virtual ~ZTPreviewLoadedModel() = default;

  virtual std::shared_ptr<ZTPreviewLoadedView> delegate() const = 0;
  virtual const std::string& documentId() const = 0;
  virtual ZTPublicConstants::DocumentType documentType() const = 0;
  virtual std::optional<ZTPublicConstants::DocumentStatusType> documentStatus() const = 0;
  virtual std::shared_ptr<UIKit::UIImage> frontSideImage() const = 0;
  virtual std::shared_ptr<UIKit::UIImage> backSideImage() const = 0;

  // Swift `setupDelegate(with:)`: held weakly; starts loading the document.
  virtual void setupDelegate(const std::shared_ptr<ZTPreviewLoadedView>& with) = 0;
  virtual void addAnotherDocument() = 0;
};

}  // namespace ZentrelSDK
