#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <Foundation/URL.hpp>
#include <UIKit/UIImage.hpp>

#include "ZTAPI/ResponceDataModel/ZTError.hpp"
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

  // Host entry: after the permission step, reads the app's required types and the record at
  // the API server's `endpoint` (e.g. std::vector<std::optional<ZTPublicDocumentElement>> at
  // ZTPublicConstants::getDocumentsEndpoint()). When every required type has a verified
  // document, `success` gets the record; otherwise the documents list opens, and the request
  // answers once the user has brought every document in order (the data step runs again) or
  // has left the list by logout ((0, "User dissmissed")). Exactly one callback runs, once,
  // on the main queue; none while the list is open. A refused permission gives (0, "Access
  // denied"); a failed step its own error unchanged.
  template <class T>
  static void request(const std::string& endpoint, std::function<void(T)> success,
                      std::function<void(ZTOAuthError)> errorEvent);
  // Presents the documents list over the topmost controller; nothing without one.
  static void openDocumentsList(bool fromApp);

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

  // Presents the preview of an uploaded document over the topmost controller; nothing
  // without one, or for an id that names no document ("", "." or "..").
  virtual void openLoadedDocument(const std::string& id, ZTPublicConstants::DocumentType type);

 protected:
  std::shared_ptr<ZTDocumentPreviewViewModel> makeViewModel(
      std::shared_ptr<UIKit::UIImage> draft, Foundation::URL imageUrl,
      ZTPublicConstants::DocumentType type) const override;
};

}  // namespace ZentrelSDK

// The definition of ZTDocumentsManager::request.
#include "ZTDocumentsRequest.hpp"  // IWYU pragma: export
