#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"
#include "ZTAPI/ResponceDataModel/ZTError.hpp"
#include "ZTDocumentsManager.hpp"

namespace ZentrelSDK {

class DocumentsViewController;

// One host documents request, from its permission step to its single answer. Its listeners
// live under the request itself, so each request answers once, by whichever path comes first
// (success, a refused permission, a failed step, the list gone), and is never answered
// again. Main thread only; made by ZTDocumentsManager::request.
class ZTDocumentsRequest : public std::enable_shared_from_this<ZTDocumentsRequest> {
 public:
  using Documents = ZTDocumentsManager::Documents;
  // Reads the host's endpoint: `decoded` gets the user's documents as the completeness test
  // sees them, `failed` the request's error unchanged.
  using Read = ZTDocumentsManager::Read;

  ZTDocumentsRequest(Read read, std::function<void()> succeed,
                     std::function<void(ZTOAuthError)> fail);

  void start();

  // The documents list, presented over the current context of the topmost controller once
  // no present or dismiss is under way there; null when there is none to present from.
  static std::shared_ptr<DocumentsViewController> presentDocumentsList(bool fromApp);

  // The documents the completeness test sees in a decoded answer: a list of documents as it
  // is; a list with a null item, or any other record, as none.
  template <class T>
  static Documents documentsOf(const T& value) {
    return ZTDocumentsManager::documentsOf(value);
  }

 private:
  void permitted(bool granted);
  void updateDocumentsInfo();
  void readDocuments();
  void handleDocumentsRequest(const Documents& documents);
  void openList();
  void allDocumentsInOrder();
  void listClosed();
  void answerSuccess();
  void answerError(ZTOAuthError error);

  Read read_;
  std::function<void()> succeed_;
  std::function<void(ZTOAuthError)> fail_;
  bool answered_ = false;
  bool listeningForSuccess_ = false;
  // The documents are in order: run the data step again once the list has gone.
  bool waitingForList_ = false;
  std::weak_ptr<DocumentsViewController> list_;
};

}  // namespace ZentrelSDK
