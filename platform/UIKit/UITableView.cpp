#include "UIKit/UITableView.hpp"

#include <algorithm>
#include <cmath>

#include "UIKit/UIKitLog.hpp"

namespace UIKit {

UITableView::UITableView(CGRect frame, Style style) : UIScrollView(frame), style_(style) {
  setAlwaysBounceVertical(true);
}

void UITableView::setDelegate(std::weak_ptr<UITableViewDelegate> delegate) {
  delegate_ = delegate;
  UIScrollView::setDelegate(std::weak_ptr<UIScrollViewDelegate>(delegate.lock()));
}

void UITableView::registerFactory(const std::string& identifier,
                                  std::function<std::shared_ptr<UITableViewCell>()> factory) {
  pool_.registerFactory(identifier, std::move(factory));
}

void UITableView::registerNib(const UINib& nib, const std::string& identifier) {
  registerFactory(identifier, [nib, identifier]() -> std::shared_ptr<UITableViewCell> {
    auto view = nib.instantiateFirstAsOwner();
    auto cell = std::dynamic_pointer_cast<UITableViewCell>(view);
    if (view && !cell)
      uikitLog("interface file \"" + nib.name() + "\": its first object is a " + view->className() +
               ", not a table view cell");
    if (cell && !cell->reuseIdentifier_) cell->reuseIdentifier_ = identifier;
    return cell;
  });
}

std::shared_ptr<UITableViewCell> UITableView::dequeueReusableCell(const std::string& identifier) {
  if (!pool_.knows(identifier)) {
    uikitLog("unable to dequeue a cell with identifier " + identifier +
             ": no class or interface file is registered for it");
    return nullptr;
  }
  return pool_.dequeue(identifier);
}

std::shared_ptr<UITableViewCell> UITableView::dequeueReusableCell(const std::string& identifier,
                                                                  IndexPath /*indexPath*/) {
  return dequeueReusableCell(identifier);
}

void UITableView::reloadData() {
  loaded_ = true;
  for (auto& cell : cells_) {
    cell->removeFromSuperview();
    pool_.putBack(cell, cell->reuseIdentifier_);
  }
  cells_.clear();
  offsets_.clear();
  auto keep = sharedAs<UITableView>();  // the data source may let go of the table
  auto source = dataSource();
  const int rows = source ? std::max(0, source->numberOfRows(*this, 0)) : 0;
  for (int row = 0; row < rows; ++row) {
    auto cell = source->cellForRow(*this, {row, 0});
    if (!cell) {
      uikitLog("the table's data source gave no cell for row " + std::to_string(row) +
               "; an empty one is shown");
      cell =
          std::make_shared<UITableViewCell>(UITableViewCell::CellStyle::defaultStyle, std::nullopt);
    }
    cells_.push_back(cell);
  }
  if (selected_ && selected_->row >= rows) selected_.reset();
  placeRows();
}

void UITableView::placeRows() {
  auto d = delegate();
  CGFloat y = 0;
  const CGFloat width = bounds().width();
  for (std::size_t row = 0; row < cells_.size(); ++row) {
    const IndexPath path{static_cast<int>(row), 0};
    CGFloat height = rowHeight_;
    if (d) {
      if (auto h = d->heightForRow(*this, path); h && std::isfinite(*h) && *h >= 0) height = *h;
    }
    offsets_.push_back(y);
    cells_[row]->setFrame(CGRect::make(0, y, width, height));
    cells_[row]->setSelected(selected_ == path);
    addSubview(cells_[row]);
    y += height;
  }
  offsets_.push_back(y);
  if (footer_) {
    footer_->setFrame(CGRect::make(0, y, width, footer_->frame().height()));
    y += footer_->frame().height();
  }
  setContentSize({width, y});
}

int UITableView::numberOfRows(int section) const {
  return section == 0 ? static_cast<int>(cells_.size()) : 0;
}

std::shared_ptr<UITableViewCell> UITableView::cellForRow(IndexPath indexPath) const {
  if (indexPath.section != 0 || indexPath.row < 0 ||
      indexPath.row >= static_cast<int>(cells_.size()))
    return nullptr;
  return cells_[static_cast<std::size_t>(indexPath.row)];
}

std::optional<IndexPath> UITableView::indexPathForCell(const UITableViewCell& cell) const {
  for (std::size_t row = 0; row < cells_.size(); ++row) {
    if (cells_[row].get() == &cell) return IndexPath{static_cast<int>(row), 0};
  }
  return std::nullopt;
}

CGRect UITableView::rectForRow(IndexPath indexPath) const {
  auto cell = cellForRow(indexPath);
  return cell ? cell->frame() : CGRect{};
}

void UITableView::setRowHeight(CGFloat height) {
  if (!std::isfinite(height) || height < 0) return;
  rowHeight_ = height;
}

void UITableView::setTableFooterView(std::shared_ptr<UIView> footer) {
  if (footer_) footer_->removeFromSuperview();
  footer_ = std::move(footer);
  if (footer_) addSubview(footer_);
  if (loaded_) {
    offsets_.clear();
    placeRows();
  }
}

void UITableView::selectRow(std::optional<IndexPath> indexPath, bool /*animated*/) {
  if (auto old = selected_ ? cellForRow(*selected_) : nullptr) old->setSelected(false);
  selected_ = indexPath && cellForRow(*indexPath) ? indexPath : std::nullopt;
  if (auto cell = selected_ ? cellForRow(*selected_) : nullptr) cell->setSelected(true);
}

void UITableView::deselectRow(IndexPath indexPath, bool animated) {
  if (selected_ == indexPath) selectRow(std::nullopt, animated);
}

void UITableView::userSelected(UITableViewCell& cell) {
  auto path = indexPathForCell(cell);
  if (!path) return;
  auto keep = sharedAs<UITableView>();
  selectRow(path, false);
  if (auto d = delegate()) d->didSelectRow(*this, *path);
}

void UITableView::didMoveToWindow() {
  UIScrollView::didMoveToWindow();
  if (!loaded_ && window()) reloadData();
}

}  // namespace UIKit
