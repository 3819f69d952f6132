#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "UIKit/IndexPath.hpp"
#include "UIKit/ReusePool.hpp"
#include "UIKit/UINib.hpp"
#include "UIKit/UIScrollView.hpp"
#include "UIKit/UITableViewCell.hpp"

namespace UIKit {

class UITableView;

// Where the rows come from. Called on the main thread.
class UITableViewDataSource {
 public:
  virtual ~UITableViewDataSource() = default;
  virtual int numberOfRows(UITableView& tableView, int section) = 0;
  virtual std::shared_ptr<UITableViewCell> cellForRow(UITableView& tableView,
                                                      IndexPath indexPath) = 0;
};

class UITableViewDelegate : public UIScrollViewDelegate {
 public:
  // Null: the table's row height.
  virtual std::optional<CGFloat> heightForRow(UITableView& /*tableView*/, IndexPath /*indexPath*/) {
    return std::nullopt;
  }
  virtual void didSelectRow(UITableView& /*tableView*/, IndexPath /*indexPath*/) {}
};

// A list of rows in one section, stacked from the top, with a footer view below them. Every
// row's cell is made on `reloadData` (which happens by itself when the table first reaches a
// window); cells are handed out again by reuse identifier. A user tapping a row selects it and
// tells the delegate. Data source and delegate are held weakly.
class UITableView : public UIScrollView {
 public:
  enum class Style { plain = 0, grouped = 1, insetGrouped = 2 };
  enum class SeparatorStyle { none = 0, singleLine = 1 };
  static constexpr CGFloat defaultRowHeight = 44;

  explicit UITableView(CGRect frame = {}, Style style = Style::plain);

  std::shared_ptr<UITableViewDataSource> dataSource() const { return dataSource_.lock(); }
  void setDataSource(std::weak_ptr<UITableViewDataSource> source) {
    dataSource_ = std::move(source);
  }
  std::shared_ptr<UITableViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<UITableViewDelegate> delegate);

  // Cells of a class (made with `(CellStyle::defaultStyle, identifier)`) or of an interface
  // file whose first object is the cell; a later registration replaces an earlier one.
  template <class C>
  void registerClass(const std::string& identifier) {
    registerFactory(identifier, [identifier] {
      return std::make_shared<C>(UITableViewCell::CellStyle::defaultStyle, identifier);
    });
  }
  void registerNib(const UINib& nib, const std::string& identifier);
  // A cell to reuse, or a new one of the registered kind; null (reported) for an identifier
  // nobody registered (the platform raises).
  std::shared_ptr<UITableViewCell> dequeueReusableCell(const std::string& identifier);
  std::shared_ptr<UITableViewCell> dequeueReusableCell(const std::string& identifier,
                                                       IndexPath indexPath);

  // Asks the data source again; the cells shown so far are kept for reuse.
  void reloadData();
  int numberOfRows(int section = 0) const;
  std::shared_ptr<UITableViewCell> cellForRow(IndexPath indexPath) const;
  std::optional<IndexPath> indexPathForCell(const UITableViewCell& cell) const;
  const std::vector<std::shared_ptr<UITableViewCell>>& visibleCells() const { return cells_; }
  CGRect rectForRow(IndexPath indexPath) const;

  CGFloat rowHeight() const { return rowHeight_; }
  void setRowHeight(CGFloat height);
  CGFloat estimatedRowHeight() const { return estimatedRowHeight_; }
  void setEstimatedRowHeight(CGFloat height) { estimatedRowHeight_ = height; }
  SeparatorStyle separatorStyle() const { return separatorStyle_; }
  void setSeparatorStyle(SeparatorStyle style) { separatorStyle_ = style; }
  Style style() const { return style_; }
  // Held strongly, below the rows, as wide as the table.
  const std::shared_ptr<UIView>& tableFooterView() const { return footer_; }
  void setTableFooterView(std::shared_ptr<UIView> footer);

  std::optional<IndexPath> indexPathForSelectedRow() const { return selected_; }
  // From code: the delegate is not told, as on the platform.
  void selectRow(std::optional<IndexPath> indexPath, bool animated);
  void deselectRow(IndexPath indexPath, bool animated);

 protected:
  void didMoveToWindow() override;

 private:
  friend class UITableViewCell;
  void registerFactory(const std::string& identifier,
                       std::function<std::shared_ptr<UITableViewCell>()> factory);
  void userSelected(UITableViewCell& cell);
  void placeRows();

  Style style_;
  std::weak_ptr<UITableViewDataSource> dataSource_;
  std::weak_ptr<UITableViewDelegate> delegate_;
  ReusePool<UITableViewCell> pool_;
  std::vector<std::shared_ptr<UITableViewCell>> cells_;  // one per row
  std::vector<CGFloat> offsets_;                         // each row's top
  CGFloat rowHeight_ = defaultRowHeight;
  CGFloat estimatedRowHeight_ = 0;
  SeparatorStyle separatorStyle_ = SeparatorStyle::singleLine;
  std::shared_ptr<UIView> footer_;
  std::optional<IndexPath> selected_;
  bool loaded_ = false;
};

}  // namespace UIKit
