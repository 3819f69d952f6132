#pragma once

#include <memory>
#include <string>
#include <vector>

#include <CoreGraphics/CGGeometry.hpp>
#include <UIKit/NSLayoutConstraint.hpp>
#include <UIKit/UIButton.hpp>
#include <UIKit/UITableView.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTModalScopesView/ZTModalScopesModel.hpp"

namespace ZentrelSDK {

// The consent card: the requested scopes' descriptions, one row each with a check mark, and
// an allow and a cancel button, laid out by the interface file "ZTModalScopesViewController".
// Either button closes the card at once; the view model hears the answer once the card has
// gone, exactly once. Main thread only.
class ZTModalScopesViewController : public UIKit::UIViewController,
                                    public UIKit::UITableViewDataSource {
 public:
  // Swift `init(viewModel:)`, the only way to make it; sizes the table for the rows and the
  // screen before the view loads. A null model is logged and shows no rows.
  explicit ZTModalScopesViewController(std::shared_ptr<ZTModalScopesModel> viewModel);

  // Outlets; the constraint is held strongly, the views weakly.
  std::shared_ptr<UIKit::NSLayoutConstraint> tableViewHeight;
  std::weak_ptr<UIKit::UIView> modalView;
  std::weak_ptr<UIKit::UITableView> tableView;
  std::weak_ptr<UIKit::UIButton> allowButton;
  // Shown only while the list can scroll.
  std::vector<std::weak_ptr<UIKit::UIView>> gradientViews;

  const std::string cellId = "cellId";
  // The card's parts other than the table, and its margins on the screen (points).
  static constexpr UIKit::CGFloat headerTitleHeigh = 39;
  static constexpr UIKit::CGFloat headerTitleConstraint = 20;
  static constexpr UIKit::CGFloat infoTitleHeigh = 61;
  static constexpr UIKit::CGFloat infoTitleConstraintTop = 8;
  static constexpr UIKit::CGFloat infoTitleConstraintBottom = 20;
  static constexpr UIKit::CGFloat allowButtonHeight = 56;
  static constexpr UIKit::CGFloat allowButtonConstraint = 24;
  static constexpr UIKit::CGFloat cancelButtonHeight = 56;
  static constexpr UIKit::CGFloat cancelButtonConstraintTop = 20;
  static constexpr UIKit::CGFloat cancelButtonConstraintBottom = 20;
  static constexpr UIKit::CGFloat modalViewConstraintTop = 60;
  static constexpr UIKit::CGFloat modalViewConstraintBottom = 60;
  static constexpr UIKit::CGFloat cellHeight = 44;
  // The table's height, fixed at creation.
  UIKit::CGFloat tableViewHeightValue() const { return tableViewHeightValue_; }

  void viewDidLoad() override;
  void bindInterface(UIKit::InterfaceBinder& binder) override;
  void allowAction(UIKit::UIControl& sender);
  void cancelAction(UIKit::UIControl& sender);
  // The user has answered on it: it is closing, or has closed, with that answer.
  bool userAnswered() const { return userAnswered_; }

  int numberOfRows(UIKit::UITableView& tableView, int section) override;
  std::shared_ptr<UIKit::UITableViewCell> cellForRow(UIKit::UITableView& tableView,
                                                     UIKit::IndexPath indexPath) override;

 private:
  void calculateTableViewHeigh();
  void configureViews();
  // Places the card's parts as the constants say: nothing solves the file's constraints.
  void layoutCard();
  void cancel(bool allow);
  std::vector<std::string> rows() const;

  const std::shared_ptr<ZTModalScopesModel> viewModel_;
  UIKit::CGFloat tableViewHeightValue_ = 0;
  bool answered_ = false;
  bool userAnswered_ = false;
  bool gone_ = false;
};

}  // namespace ZentrelSDK
