#include "ZTDocumentsRequest.hpp"

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/Bundle.hpp>
#include <UIKit/UIStoryboard.hpp>
#include <UIKit/UIViewControllerTransitioning.hpp>

#include "ZTDocuments/DocumentsList/DocumentsViewController.hpp"
#include "ZTDocuments/ZTDocumentsLoadingCore/ZTAppDocuments.hpp"
#include "ZTDocuments/ZTDocumentsLoadingCore/ZTDocumentSort.hpp"
#include "ZTDocumentsManager.hpp"
#include "ZTEvents.hpp"
#include "ZTExtensions/ZTUIApplication.hpp"
#include "ZTOAuth/ZTOAuthCore.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "ZTUIComponents/ZTWindowWatcher.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

namespace {
// The list the host's requests wait on: a request that finds it still up waits on it too
// rather than stacking a second list on it.
std::weak_ptr<DocumentsViewController>& requestsList() {
  static std::weak_ptr<DocumentsViewController> list;
  return list;
}

// Nothing can be presented during a present or dismiss there: the list waits for it to end.
void presentWhenReady(const std::shared_ptr<DocumentsViewController>& list) {
  auto top = ZTUIApplication::topViewController();
  if (!top) return;
  if (auto coordinator = top->transitionCoordinator()) {
    coordinator->animate(nullptr, [list](const auto&) { presentWhenReady(list); });
    return;
  }
  ZTUIApplication::present(*top, list, true);
}
}  // namespace

void ZTDocumentsManager::openDocumentsList(bool fromApp) {
  ZTDocumentsRequest::presentDocumentsList(fromApp);
}

void ZTDocumentsManager::startRequest(Read read, std::function<void()> succeed,
                                      std::function<void(ZTOAuthError)> fail) {
  std::make_shared<ZTDocumentsRequest>(std::move(read), std::move(succeed), std::move(fail))
      ->start();
}

std::shared_ptr<DocumentsViewController> ZTDocumentsRequest::presentDocumentsList(bool fromApp) {
  auto top = ZTUIApplication::topViewController();
  if (!top) return nullptr;
  const UIKit::UIStoryboard storyboard(DocumentsViewController::storyboardName,
                                       Foundation::Bundle::forIdentifier(ZTConstants::BundleID));
  auto list = std::dynamic_pointer_cast<DocumentsViewController>(
      storyboard.instantiateViewController(DocumentsViewController::storyboardIdentifier));
  if (!list) return nullptr;
  list->fromApp = fromApp;
  list->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
  presentWhenReady(list);
  return list;
}

ZTDocumentsRequest::ZTDocumentsRequest(Read read, std::function<void()> succeed,
                                       std::function<void(ZTOAuthError)> fail)
    : read_(std::move(read)), succeed_(std::move(succeed)), fail_(std::move(fail)) {}

// The listeners hold the request until it answers and drops them.
void ZTDocumentsRequest::start() {
  auto self = shared_from_this();
  ZTEvents::shared()->documentForAppLoadingDissmissEventListen(
      self, [self] { self->answerError(ZTOAuthError(0, "User dissmissed")); });
  ZTOAuthCore::shared()->givePermissions([self](bool granted) { self->permitted(granted); });
}

void ZTDocumentsRequest::permitted(bool granted) {
  if (answered_) return;
  if (!granted) return answerError(ZTOAuthError(0, "Access denied"));
  updateDocumentsInfo();
}

// Each step goes on only while the request is unanswered; a loader it showed still closes. A
// step goes on without its loader when there is no screen to show one on.
void ZTDocumentsRequest::updateDocumentsInfo() {
  auto self = shared_from_this();
  ZTUIUtilites::shared()->loaderStartThen([self] {
    if (self->answered_) return ZTUIUtilites::shared()->loaderDissmiss();
    // The store keeps its latest completion after the answer: that must not keep the request.
    ZTAppDocuments::shared()->updateDockInfo(
        [weak = std::weak_ptr(self)](bool ok, std::optional<ZTOAuthError> error) {
          ZTUIUtilites::shared()->loaderDissmiss([weak, ok, error = std::move(error)] {
            auto self = weak.lock();
            if (!self) return;
            if (!ok) return self->answerError(error.value_or(ZTOAuthError(0, std::nullopt)));
            self->readDocuments();
          });
        });
  });
}

void ZTDocumentsRequest::readDocuments() {
  if (answered_) return;
  auto self = shared_from_this();
  ZTUIUtilites::shared()->loaderStartThen([self] {
    if (self->answered_) return ZTUIUtilites::shared()->loaderDissmiss();
    self->read_(
        [self](Documents documents) {
          ZTUIUtilites::shared()->loaderDissmiss([self, documents = std::move(documents)] {
            self->handleDocumentsRequest(documents);
          });
        },
        [self](ZTOAuthError error) {
          ZTUIUtilites::shared()->loaderDissmiss(
              [self, error = std::move(error)] { self->answerError(error); });
        });
  });
}

void ZTDocumentsRequest::handleDocumentsRequest(const Documents& documents) {
  if (answered_) return;
  if (ZTDocumentSort::checkDocksStatus(documents, ZTAppDocuments::shared()->dockTypeList(),
                                       ZTPublicConstants::DocumentStatusType::Verified))
    return answerSuccess();
  openList();
}

void ZTDocumentsRequest::openList() {
  auto self = shared_from_this();
  auto list = requestsList().lock();
  // One left in a window the host hides is never joined: it ends, and this request opens its own
  // where the host shows.
  if (!list || list->isClosing() || !ZTWindowWatcher::stillSeen(list)) {
    list = presentDocumentsList(true);
    requestsList() = list;
  }
  // No screen to show it on: nothing could ever close it.
  if (!list) return answerError(ZTOAuthError(0, "User dissmissed"));
  list_ = list;
  list->whenClosed([self] { self->listClosed(); });
  if (listeningForSuccess_) return;
  listeningForSuccess_ = true;
  ZTEvents::shared()->documentForAppLoadingSuccessEventListen(
      self, [self](std::vector<ZTPublicDocumentElement>) { self->allDocumentsInOrder(); });
}

// The list closes the whole chain on this event; the answer waits until it has gone.
void ZTDocumentsRequest::allDocumentsInOrder() {
  if (answered_ || waitingForList_) return;
  waitingForList_ = true;
  auto list = list_.lock();
  if (list && list->presentingViewController()) return;
  auto self = shared_from_this();
  Dispatch::DispatchQueue::main().async([self] { self->listClosed(); });
}

// Only after the success event does the data step run again; a list gone any other way
// (logout, or the host took it away) ends the request as the logout does.
void ZTDocumentsRequest::listClosed() {
  if (answered_) return;
  if (!waitingForList_) return answerError(ZTOAuthError(0, "User dissmissed"));
  waitingForList_ = false;
  updateDocumentsInfo();
}

void ZTDocumentsRequest::answerSuccess() {
  if (answered_) return;
  answered_ = true;
  ZTEvents::shared()->unregiterEvents(shared_from_this());
  if (succeed_) succeed_();
}

void ZTDocumentsRequest::answerError(ZTOAuthError error) {
  if (answered_) return;
  answered_ = true;
  ZTEvents::shared()->unregiterEvents(shared_from_this());
  if (fail_) fail_(std::move(error));
}

}  // namespace ZentrelSDK
