#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <Foundation/URL.hpp>
#include <UIKit/UIImage.hpp>

#include "ZTAPI/ZTPrivateAPIDocuments.hpp"
#include "ZTCustomCameraView/ZTCameraData/ZTCameraData.hpp"
#include "ZTDocuments/NewDocumentPreview/ZTDocumentPreviewViewModel.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// The host's door to adding a document: the first photo of a capture opens the new-document
// preview, whose successful submission leads to the status screens. Main thread only.
class ZTDocumentsManager : public std::enable_shared_from_this<ZTDocumentsManager> {
 public:
  static const std::shared_ptr<ZTDocumentsManager>& shared();
  ZTDocumentsManager() = default;
  virtual ~ZTDocumentsManager();

  // Opens the photo source sheet and waits for the first photo of a document of `ofType`;
  // the sheet's cancel ends the wait. Only one capture waits at a time, across both
  // managers: a new one ends the one still waiting.
  virtual void beginUploadingNewDocument(ZTPublicConstants::DocumentType ofType);

 protected:
  virtual std::shared_ptr<ZTDocumentPreviewViewModel> makeViewModel(
      std::shared_ptr<UIKit::UIImage> draft, Foundation::URL imageUrl,
      ZTPublicConstants::DocumentType type) const;
  void handleGetting(const std::shared_ptr<ZTCameraData>& newMedia,
                     ZTPublicConstants::DocumentType forType);
  void openNewDocumentPreview(std::shared_ptr<UIKit::UIImage> with, Foundation::URL imageUrl,
                              ZTPublicConstants::DocumentType forType);
  void unregisterAllEvents();
};

// The same door for the documents list's own flow: a successful submission closes the
// preview and announces a modification instead.
class ZTPrivateDocumentsManager : public ZTDocumentsManager {
 public:
  static const std::shared_ptr<ZTPrivateDocumentsManager>& shared();
  ZTPrivateDocumentsManager() = default;

  // One page of the user's documents from the identity server, as the documents client
  // gives it: no loader, no permission step.
  static void getDocumentsList(std::int64_t limit, std::int64_t offset,
                               const std::optional<ZTPrivateAPIDocuments::Statuses>& status,
                               std::function<void(std::vector<DocumentItem>)> success,
                               ZTPrivateAPIDocuments::ErrorEvent errorEvent);

 protected:
  std::shared_ptr<ZTDocumentPreviewViewModel> makeViewModel(
      std::shared_ptr<UIKit::UIImage> draft, Foundation::URL imageUrl,
      ZTPublicConstants::DocumentType type) const override;
};

}  // namespace ZentrelSDK
