// The list's table, refresh control and status colours.

#include <Foundation/Bundle.hpp>
#include <UIKit/UINib.hpp>

#include "ZTDocuments/DocumentsList/Cell/ZTDocumentsUITableViewCell.hpp"
#include "ZTDocuments/DocumentsList/DocumentsViewController.hpp"
#include "ZTDocuments/ZTDocumentStatusLabel.hpp"
#include "ZTLogger.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

void DocumentsViewController::configureUI() {
  auto table = tableView.lock();
  if (table) {
    table->registerNib(UIKit::UINib(ZTDocumentsUITableViewCell::reuseIdentifier,
                                    Foundation::Bundle::forIdentifier(ZTConstants::BundleID)),
                       ZTDocumentsUITableViewCell::reuseIdentifier);
    table->setDataSource(std::weak_ptr<UIKit::UITableViewDataSource>(self()));
    table->setDelegate(std::weak_ptr<UIKit::UITableViewDelegate>(self()));
    // No separators under the last row.
    table->setTableFooterView(std::make_shared<UIKit::UIView>());
  }
  refreshControl->addTarget(self(), &DocumentsViewController::refresh,
                            UIKit::UIControl::Event::valueChanged);
  // The kit's loader shows the work, not the control's spinner.
  refreshControl->setTintColor(UIKit::UIColor::clear());
  if (table) table->addSubview(refreshControl);
  setOverrideUserInterfaceStyle(UIKit::UIUserInterfaceStyle::light);
}

int DocumentsViewController::numberOfRows(UIKit::UITableView& /*tableView*/, int /*section*/) {
  return static_cast<int>(docks.size());
}

std::shared_ptr<UIKit::UITableViewCell> DocumentsViewController::cellForRow(
    UIKit::UITableView& tableView, UIKit::IndexPath indexPath) {
  auto cell = tableView.dequeueReusableCell(ZTDocumentsUITableViewCell::reuseIdentifier, indexPath);
  auto row = std::dynamic_pointer_cast<ZTDocumentsUITableViewCell>(cell);
  if (!row) {
    ZTLogger::errorLog("the documents list's cell is not a ZTDocumentsUITableViewCell");
    return cell ? cell : std::make_shared<UIKit::UITableViewCell>();
  }
  row->setData(*docks.at(static_cast<std::size_t>(indexPath.row)));
  return row;
}

void DocumentsViewController::refresh(UIKit::UIRefreshControl& sender) {
  sender.endRefreshing();
  loadData();
}

UIKit::UIColor DocumentsViewController::setStatusTextColor(
    ZTPublicConstants::DocumentStatusType status) const {
  return documentStatusColor(status);
}

}  // namespace ZentrelSDK
