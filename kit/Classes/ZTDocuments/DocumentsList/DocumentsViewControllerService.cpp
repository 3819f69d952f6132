// The list's requests, its row rule, row selection and logout.

#include <utility>

#include "ZTAPI/ZTPrivateAPP.hpp"
#include "ZTDocuments/DocumentsList/DocumentsViewController.hpp"
#include "ZTDocuments/ZTDocumentsLoadingCore/ZTAppDocuments.hpp"
#include "ZTDocumentsManager.hpp"
#include "ZTEvents.hpp"
#include "ZTOAuth/ZTOAuthCore.hpp"
#include "ZTPrivateDocumentsManager.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"

namespace ZentrelSDK {

namespace {
// Closes the loader, then shows `message` if the list is still there.
void failWith(const std::weak_ptr<DocumentsViewController>& weak,
              std::optional<std::string> message) {
  ZTUIUtilites::shared()->loaderDissmiss([weak, message = std::move(message)] {
    if (weak.lock()) ZTUIUtilites::shared()->errorAlert(message);
  });
}
}  // namespace

void DocumentsViewController::loadData() {
  std::weak_ptr<DocumentsViewController> weak = self();
  ZTUIUtilites::shared()->loaderStart(2.0, [weak] {
    if (auto list = weak.lock()) list->getAppDockScopes();
  });
}

void DocumentsViewController::getAppDockScopes() {
  auto strong = self();
  ZTPrivateAPP::getAPPDockScopes(
      ZTOAuthCore::shared()->getAppId(), /*clearCookie=*/false,
      [strong](std::optional<ZTPrivateAPP::DocumentTypes> types) {
        // The status screens test against the app's types: keep them as fresh as the rows.
        ZTAppDocuments::shared()->setDockTypeList(types.value_or(ZTPrivateAPP::DocumentTypes{}));
        strong->appDocksList = std::move(types);
        strong->getDocumentList();
      },
      [strong](ZTOAuthError error) { failWith(strong, std::move(error.message)); });
}

void DocumentsViewController::getDocumentList() {
  auto strong = self();
  ZTPrivateDocumentsManager::getDocumentsList(
      10, 0, std::nullopt,
      [strong](std::vector<DocumentItem> documents) { strong->compare(documents); },
      [strong](const std::string& message) { failWith(strong, message); });
}

void DocumentsViewController::compare(const std::vector<DocumentItem>& documents) {
  if (!appDocksList) {
    ZTUIUtilites::shared()->loaderDissmiss();
    return;
  }
  std::vector<std::shared_ptr<Document>> rows;
  for (const auto type : *appDocksList) {
    auto row = std::make_shared<Document>(type);
    for (const auto& item : documents) {
      if (item.documentType != type) continue;
      row->updateStatus(getLocalize(item.status));
      row->setId(item.id);
      row->setArea(ZTPublicConstants::AreaType::Internal);
      row->updateStatusColor(setStatusTextColor(item.status));
    }
    rows.push_back(std::move(row));
  }
  docks = std::move(rows);
  std::weak_ptr<DocumentsViewController> weak = self();
  ZTUIUtilites::shared()->loaderDissmiss([weak] {
    auto list = weak.lock();
    if (!list) return;
    if (auto table = list->tableView.lock()) table->reloadData();
  });
}

// Every row starts a new document of its type, whatever the status of the one it shows.
void DocumentsViewController::didSelectRow(UIKit::UITableView& /*tableView*/,
                                           UIKit::IndexPath indexPath) {
  if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= docks.size()) return;
  if (const auto type = docks[static_cast<std::size_t>(indexPath.row)]->documentType())
    ZTDocumentsManager::shared()->beginUploadingNewDocument(*type);
}

// Leaves the user signed in: the host's pending request hears the cancel.
void DocumentsViewController::logout() {
  dismiss(true, [] { ZTEvents::shared()->documentForAppLoadingDissmissEventEmit(); });
}

}  // namespace ZentrelSDK
