#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <Foundation/URL.hpp>
#include <UIKit/UIImage.hpp>

#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"
#include "ZTAPI/ResponceDataModel/ZTError.hpp"
#include "ZTAPI/ZTPublicAPIDocuments.hpp"
#include "ZTCustomCameraView/ZTCameraData/ZTCameraData.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

class ZTDocumentPreviewViewModel;

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
  // document, `success` gets the record; otherwise the documents list opens (a request that
  // finds the list of another still up waits on that one), and the request answers once the
  // user has brought every document in order (the data step runs again) or the list has gone
  // otherwise: by logout, or taken away by the host ((0, "User dissmissed")). Exactly one
  // callback runs, once, on the main queue; none while the list is open. A refused permission
  // gives (0, "Access denied"); a failed step its own error unchanged.
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

 private:
  friend class ZTDocumentsRequest;

  using Documents = std::vector<ZTPublicDocumentElement>;
  using Read = std::function<void(std::function<void(Documents)> decoded,
                                  std::function<void(ZTOAuthError)> failed)>;

  // The documents the completeness test sees in a decoded answer: a list of documents as it
  // is; a list with a null item, or any other record, as none.
  template <class T>
  static Documents documentsOf(const T& value) {
    if constexpr (std::is_same_v<T, Documents>) {
      return value;
    } else if constexpr (std::is_same_v<T, std::vector<std::optional<ZTPublicDocumentElement>>>) {
      Documents documents;
      for (const auto& item : value) {
        if (!item) return {};
        documents.push_back(*item);
      }
      return documents;
    } else {
      return {};
    }
  }

  // Starts one request (ZTDocumentsRequest), which answers through `succeed` or `fail` once.
  static void startRequest(Read read, std::function<void()> succeed,
                           std::function<void(ZTOAuthError)> fail);
};

template <class T>
void ZTDocumentsManager::request(const std::string& endpoint, std::function<void(T)> success,
                                 std::function<void(ZTOAuthError)> errorEvent) {
  auto answer = std::make_shared<std::optional<T>>();
  auto read = [endpoint, answer](std::function<void(Documents)> decoded,
                                 std::function<void(ZTOAuthError)> failed) {
    ZTPublicAPIDocuments::request<T>(
        true, endpoint,
        [answer, decoded = std::move(decoded)](T value) {
          auto documents = documentsOf(value);
          *answer = std::move(value);
          decoded(std::move(documents));
        },
        std::move(failed));
  };
  auto succeed = [answer, success = std::move(success)] {
    if (success && *answer) success(std::move(**answer));
  };
  startRequest(std::move(read), std::move(succeed), std::move(errorEvent));
}

}  // namespace ZentrelSDK
