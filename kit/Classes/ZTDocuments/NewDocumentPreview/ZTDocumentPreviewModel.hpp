#pragma once

#include <memory>
#include <optional>
#include <string>

#include <UIKit/UIImage.hpp>

#include "ZTDocuments/NewDocumentPreview/ZTDocumentPreviewView.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// What the new-document screen asks of its view model. Main thread only.
class ZTDocumentPreviewModel {
 public:
  virtual ~ZTDocumentPreviewModel() = default;

  virtual std::shared_ptr<ZTDocumentPreviewView> delegate() const = 0;
  virtual ZTPublicConstants::DocumentType documentType() const = 0;
  virtual std::optional<ZTPublicConstants::DocumentStatusType> documentStatus() const = 0;
  virtual std::shared_ptr<UIKit::UIImage> frontSideImage() const = 0;
  virtual std::shared_ptr<UIKit::UIImage> backSideImage() const = 0;

  // Swift `setupDelegate(with:)`; held weakly.
  virtual void setupDelegate(const std::shared_ptr<ZTDocumentPreviewView>& with) = 0;
  virtual void takeFrontsidePhoto() = 0;
  virtual void takeBacksidePhoto() = 0;
  virtual void submitDocument() = 0;
  // Removes the photo cache folder and drops the event listeners.
  virtual void clearCacheAndListeners() = 0;
  virtual void documentDidSuccessfullySubmitted() = 0;
  virtual void documentDidFailedSubmitted(const std::string& error) = 0;
};

}  // namespace ZentrelSDK
