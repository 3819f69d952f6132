#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <Foundation/Bundle.hpp>
#include <UIKit/UIButton.hpp>
#include <UIKit/UIColor.hpp>
#include <UIKit/UIRefreshControl.hpp>
#include <UIKit/UITableView.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentsListResponse.hpp"
#include "ZTDocuments/DocumentsList/Cell/Document.hpp"
#include "ZTEventsRegistration.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// The documents list: one row per document type the host app requires, with the status of
// the user's document of that type. Pull to reload, tap a row to add a new document of its
// type, or log out, which closes the list and cancels the host's documents request. Made
// from the storyboard "DocumentsViewController"; it has no view model and loads on every
// appearance. Main thread only.
class DocumentsViewController : public UIKit::UIViewController,
                                public UIKit::UITableViewDataSource,
                                public UIKit::UITableViewDelegate {
 public:
  static constexpr const char* storyboardName = "DocumentsViewController";
  static constexpr const char* storyboardIdentifier = "DocumentsViewController";

  // How the storyboard makes it.
  DocumentsViewController(std::optional<std::string> nibName,
                          std::shared_ptr<Foundation::Bundle> bundle);
  ~DocumentsViewController() override;

  std::weak_ptr<UIKit::UITableView> tableView;
  std::weak_ptr<UIKit::UIButton> logoutButton;
  std::shared_ptr<UIKit::UIRefreshControl> refreshControl;
  // The required types as last received; none until an answer carried a list.
  std::optional<std::vector<ZTPublicConstants::DocumentType>> appDocksList;
  std::vector<std::shared_ptr<Document>> docks;
  // Set by the opener; nothing here depends on it.
  bool fromApp = false;

  void bindInterface(UIKit::InterfaceBinder& binder) override;
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;
  void viewDidAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;

  // Required types, then the first page of documents, then the rows, under the kit's loader.
  virtual void loadData();
  virtual void logoutAction(UIKit::UIButton& sender);

  // Service.
  void didSelectRow(UIKit::UITableView& tableView, UIKit::IndexPath indexPath) override;
  void getAppDockScopes();
  void getDocumentList();
  // One row per required type; the last document of a row's type decides what it shows.
  void compare(const std::vector<DocumentItem>& documents);
  void logout();

  // Presentation.
  void configureUI();
  int numberOfRows(UIKit::UITableView& tableView, int section) override;
  std::shared_ptr<UIKit::UITableViewCell> cellForRow(UIKit::UITableView& tableView,
                                                     UIKit::IndexPath indexPath) override;
  void refresh(UIKit::UIRefreshControl& sender);
  UIKit::UIColor setStatusTextColor(ZTPublicConstants::DocumentStatusType status) const;

  // Runs `action` once, on a later turn of the main queue, after the list has gone: dismissed
  // (with a screen over it or not), out of every window, or released.
  void whenClosed(std::function<void()> action);
  // Gone or on its way out: whoever comes now needs a list of its own.
  bool isClosing() const { return closed_ || isBeingDismissed(); }

 private:
  std::shared_ptr<DocumentsViewController> self();
  void listenToEvents();
  void documentDidChange();
  void dismissViewControllersRecursively(const std::shared_ptr<UIKit::UIViewController>& top,
                                         bool animated = false);
  void close();

  bool listening_ = false;
  bool closed_ = false;
  std::vector<std::function<void()>> whenClosed_;
  ZTEventsRegistration events_{this};
};

}  // namespace ZentrelSDK
