#include "UIKit/UICollectionView.hpp"

#include <algorithm>

#include "UIKit/UIKitLog.hpp"

namespace UIKit {

UICollectionView::UICollectionView(CGRect frame, std::shared_ptr<UICollectionViewFlowLayout> layout)
    : UIScrollView(frame),
      layout_(layout ? std::move(layout) : std::make_shared<UICollectionViewFlowLayout>()) {}

void UICollectionView::setDelegate(std::weak_ptr<UICollectionViewDelegate> delegate) {
  delegate_ = delegate;
  UIScrollView::setDelegate(std::weak_ptr<UIScrollViewDelegate>(delegate.lock()));
}

std::shared_ptr<UICollectionViewDelegateFlowLayout> UICollectionView::flowDelegate() const {
  return std::dynamic_pointer_cast<UICollectionViewDelegateFlowLayout>(delegate());
}

void UICollectionView::registerFactory(
    const std::string& identifier, std::function<std::shared_ptr<UICollectionViewCell>()> factory) {
  pool_.registerFactory(identifier, std::move(factory));
}

std::shared_ptr<UICollectionViewCell> UICollectionView::dequeueReusableCell(
    const std::string& identifier, IndexPath indexPath) {
  if (!pool_.knows(identifier)) {
    uikitLog("could not dequeue a view of kind UICollectionElementKindCell with identifier " +
             identifier + ": no class is registered for it");
    return nullptr;
  }
  auto cell = pool_.dequeue(identifier);
  if (!cell) return cell;
  cell->reuseIdentifier_ = identifier;
  // As on the platform, the cell comes with its item's frame, so the data source may size
  // what it puts in it.
  if (indexPath.section == 0 && indexPath.row >= 0 &&
      indexPath.row < static_cast<int>(placedFrames_.size()))
    cell->setFrame(placedFrames_[static_cast<std::size_t>(indexPath.row)]);
  return cell;
}

void UICollectionView::reloadData() {
  loaded_ = true;
  for (auto& cell : cells_) {
    cell->removeFromSuperview();
    pool_.putBack(cell, cell->reuseIdentifier_);
  }
  cells_.clear();
  auto keep = sharedAs<UICollectionView>();  // the data source may let go of the collection
  auto source = dataSource();
  const int count = source ? std::max(0, source->numberOfItems(*this, 0)) : 0;
  const auto placement = layout_->place(*this, count);
  placedFrames_ = placement.frames;
  for (int item = 0; item < count; ++item) {
    auto cell = source->cellForItem(*this, {item, 0});
    if (!cell) {
      uikitLog("the collection's data source gave no cell for item " + std::to_string(item) +
               "; an empty one is shown");
      cell = std::make_shared<UICollectionViewCell>();
    }
    cells_.push_back(cell);
  }
  placedFrames_.clear();
  for (std::size_t i = 0; i < cells_.size(); ++i) {
    cells_[i]->setFrame(placement.frames[i]);
    addSubview(cells_[i]);
  }
  setContentSize(placement.contentSize);
}

int UICollectionView::numberOfItems(int section) const {
  return section == 0 ? static_cast<int>(cells_.size()) : 0;
}

std::shared_ptr<UICollectionViewCell> UICollectionView::cellForItem(IndexPath indexPath) const {
  if (indexPath.section != 0 || indexPath.row < 0 ||
      indexPath.row >= static_cast<int>(cells_.size()))
    return nullptr;
  return cells_[static_cast<std::size_t>(indexPath.row)];
}

std::optional<IndexPath> UICollectionView::indexPathForCell(
    const UICollectionViewCell& cell) const {
  for (std::size_t i = 0; i < cells_.size(); ++i) {
    if (cells_[i].get() == &cell) return IndexPath{static_cast<int>(i), 0};
  }
  return std::nullopt;
}

void UICollectionView::scrollToItem(IndexPath indexPath, ScrollPosition position, bool animated) {
  auto cell = cellForItem(indexPath);
  if (!cell) {
    uikitLog("attempt to scroll to an item that does not exist: item " +
             std::to_string(indexPath.row) + " of section " + std::to_string(indexPath.section));
    return;
  }
  using P = ScrollPosition;
  const CGRect f = cell->frame();
  const CGSize size = bounds().size;
  CGPoint offset = contentOffset();
  if (contains(position, P::left)) offset.x = f.minX();
  if (contains(position, P::centeredHorizontally)) offset.x = f.midX() - size.width / 2;
  if (contains(position, P::right)) offset.x = f.maxX() - size.width;
  if (contains(position, P::top)) offset.y = f.minY();
  if (contains(position, P::centeredVertically)) offset.y = f.midY() - size.height / 2;
  if (contains(position, P::bottom)) offset.y = f.maxY() - size.height;
  const CGPoint min = minimumContentOffset(), max = maximumContentOffset();
  setContentOffset({std::clamp(offset.x, min.x, max.x), std::clamp(offset.y, min.y, max.y)},
                   animated);
}

void UICollectionView::userSelected(UICollectionViewCell& cell) {
  auto path = indexPathForCell(cell);
  if (!path) return;
  auto keep = sharedAs<UICollectionView>();
  for (auto& c : cells_) c->setSelected(c.get() == &cell);
  if (auto d = delegate()) d->didSelectItem(*this, *path);
}

void UICollectionView::didMoveToWindow() {
  UIScrollView::didMoveToWindow();
  if (!loaded_ && window()) reloadData();
}

}  // namespace UIKit
