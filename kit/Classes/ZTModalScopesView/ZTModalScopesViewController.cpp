#include "ZTModalScopesView/ZTModalScopesViewController.hpp"

#include <algorithm>

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/Bundle.hpp>
#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/UIImageView.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UIScreen.hpp>
#include <UIKit/UITableViewCell.hpp>

#include "ZTLogger.hpp"
#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "ZTUIComponents/ZTWindowWatcher.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

namespace {
// Rows beyond this many make the list scroll.
constexpr std::size_t kRowsWithoutScrolling = 3;
}  // namespace

ZTModalScopesViewController::ZTModalScopesViewController(
    std::shared_ptr<ZTModalScopesModel> viewModel)
    : UIViewController("ZTModalScopesViewController",
                       Foundation::Bundle::forIdentifier(ZTConstants::BundleID)),
      viewModel_(std::move(viewModel)) {
  if (!viewModel_) ZTLogger::errorLog("ZTModalScopesViewController needs a view model");
  calculateTableViewHeigh();
}

std::vector<std::string> ZTModalScopesViewController::rows() const {
  return viewModel_ ? viewModel_->getScopes() : std::vector<std::string>{};
}

void ZTModalScopesViewController::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("tableViewHeight", tableViewHeight);
  binder.outlet("modalView", modalView);
  binder.outlet("tableView", tableView);
  binder.outlet("allowButton", allowButton);
  binder.outletCollection("gradientViews", gradientViews);
  binder.action("allowAction:", [this](UIKit::UIControl& sender) { allowAction(sender); });
  binder.action("cancelAction:", [this](UIKit::UIControl& sender) { cancelAction(sender); });
  // The file's connection of the table to its data source, the card.
  if (auto table = tableView.lock()) table->setDataSource(weakAs<ZTModalScopesViewController>());
}

void ZTModalScopesViewController::calculateTableViewHeigh() {
  const UIKit::CGFloat parts = headerTitleHeigh + headerTitleConstraint + infoTitleHeigh +
                               infoTitleConstraintTop + infoTitleConstraintBottom +
                               allowButtonHeight + allowButtonConstraint + cancelButtonHeight +
                               cancelButtonConstraintTop + cancelButtonConstraintBottom +
                               modalViewConstraintTop + modalViewConstraintBottom;
  // A screen shorter than the card's other parts leaves no room, never a negative height.
  const UIKit::CGFloat available =
      std::max<UIKit::CGFloat>(0, UIKit::UIScreen::main().bounds().height() - parts);
  const UIKit::CGFloat rowsHeight = static_cast<UIKit::CGFloat>(rows().size()) * cellHeight;
  tableViewHeightValue_ = std::min(available, rowsHeight);
}

void ZTModalScopesViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  configureViews();
  // Gone unanswered (the host took it away with its window's root): as a cancel.
  ZTWindowWatcher::watch(sharedAs<ZTModalScopesViewController>(),
                         [weak = weakAs<ZTModalScopesViewController>()] {
                           auto self = weak.lock();
                           if (!self) return;
                           self->gone_ = true;
                           self->cancel(false);
                         });
}

void ZTModalScopesViewController::configureViews() {
  setOverrideUserInterfaceStyle(UIKit::UIUserInterfaceStyle::light);
  if (auto card = modalView.lock()) card->layer()->cornerRadius = 12;
  if (auto button = allowButton.lock()) {
    button->layer()->cornerRadius = 4;
    button->setBackgroundImage(ZTImageFromLib::makeLibraryImage("buttonBackground"),
                               UIKit::UIButton::State::normal);
  }
  if (tableViewHeight) tableViewHeight->setConstant(tableViewHeightValue_);
  const bool scrollable = rows().size() > kRowsWithoutScrolling;
  if (auto table = tableView.lock()) {
    table->registerClass<UIKit::UITableViewCell>(cellId);
    table->setTableFooterView(std::make_shared<UIKit::UIView>());
    table->setAlwaysBounceVertical(scrollable);
  }
  for (const auto& weak : gradientViews) {
    if (auto view = weak.lock()) view->setHidden(!scrollable);
  }
  layoutCard();
}

void ZTModalScopesViewController::layoutCard() {
  auto card = modalView.lock();
  if (!card) return;
  const UIKit::CGFloat height = headerTitleConstraint + headerTitleHeigh + infoTitleConstraintTop +
                                infoTitleHeigh + infoTitleConstraintBottom + tableViewHeightValue_ +
                                allowButtonConstraint + allowButtonHeight +
                                cancelButtonConstraintTop + cancelButtonHeight +
                                cancelButtonConstraintBottom;
  const UIKit::CGFloat screen = UIKit::UIScreen::main().bounds().height();
  const UIKit::CGFloat top = std::max(modalViewConstraintTop, (screen - height) / 2);
  auto frame = card->frame();
  // The table takes the change of height (it alone stretches); the buttons keep to the bottom.
  card->setFrame(UIKit::CGRect::make(frame.minX(), top, frame.width(), height));
}

void ZTModalScopesViewController::allowAction(UIKit::UIControl& /*sender*/) {
  if (!answered_) userAnswered_ = true;
  cancel(true);
}

void ZTModalScopesViewController::cancelAction(UIKit::UIControl& /*sender*/) {
  if (!answered_) userAnswered_ = true;
  cancel(false);
}

void ZTModalScopesViewController::cancel(bool allow) {
  // A second tap while the card closes must not answer again.
  if (answered_) return;
  answered_ = true;
  // The callback keeps the card, and with it the view model, until it has answered: the
  // presentation chain lets go of the card when the dismissal completes.
  auto answer = [self = sharedAs<ZTModalScopesViewController>(), allow] {
    if (self->viewModel_) self->viewModel_->allow(allow);
  };
  // Gone, it is taken off by its watcher: a dismissal from here would close a screen the host
  // put over it.
  if (gone_) return Dispatch::DispatchQueue::main().async(std::move(answer));
  setModalTransitionStyle(UIKit::UIModalTransitionStyle::crossDissolve);
  dismiss(false, std::move(answer));
}

int ZTModalScopesViewController::numberOfRows(UIKit::UITableView& /*tableView*/, int /*section*/) {
  return static_cast<int>(rows().size());
}

std::shared_ptr<UIKit::UITableViewCell> ZTModalScopesViewController::cellForRow(
    UIKit::UITableView& table, UIKit::IndexPath indexPath) {
  auto cell = table.dequeueReusableCell(cellId, indexPath);
  if (!cell) return nullptr;
  cell->imageView()->setImage(ZTImageFromLib::makeLibraryImage("Check"));
  auto label = cell->textLabel();
  label->setAdjustsFontSizeToFitWidth(true);
  const auto texts = rows();
  const auto row = static_cast<std::size_t>(indexPath.row);
  label->setText(row < texts.size() ? std::optional<std::string>(texts[row]) : std::nullopt);
  return cell;
}

}  // namespace ZentrelSDK
