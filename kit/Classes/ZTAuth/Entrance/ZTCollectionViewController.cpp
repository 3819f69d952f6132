#include "ZTAuth/Entrance/ZTCollectionViewController.hpp"

#include <cmath>
#include <limits>

#include <UIKit/UIColor.hpp>

#include "ZTAuth/Entrance/ZTEntranceViewModel.hpp"

namespace ZentrelSDK {

ZTCollectionViewController::ZTCollectionViewController(
    std::shared_ptr<UIKit::UICollectionViewFlowLayout> layout)
    : UICollectionViewController(std::move(layout)) {}

void ZTCollectionViewController::viewDidLoad() {
  UICollectionViewController::viewDidLoad();
  configureCollectionView();
}

void ZTCollectionViewController::configureCollectionView() {
  auto collection = collectionView();
  if (!collection) return;
  collection->registerClass<UIKit::UICollectionViewCell>(cellId);
  collection->setPagingEnabled(true);
  collection->setBackgroundColor(UIKit::UIColor::white());
  collection->setShowsHorizontalScrollIndicator(false);
  collection->setShowsVerticalScrollIndicator(false);
  collection->setContentInsetAdjustmentBehavior(
      UIKit::UIScrollView::ContentInsetAdjustmentBehavior::never);
  setOverrideUserInterfaceStyle(UIKit::UIUserInterfaceStyle::light);
}

void ZTCollectionViewController::addPage(std::shared_ptr<UIKit::UIViewController> page) {
  if (!page) return;
  pages_.push_back(std::move(page));
  if (auto collection = std::dynamic_pointer_cast<UIKit::UICollectionView>(viewIfLoaded()))
    collection->reloadData();
}

void ZTCollectionViewController::scroll(int index) {
  if (index < 0 || index >= static_cast<int>(pages_.size())) return;
  dismissKeyboardIfNeeded();
  if (auto collection = collectionView())
    collection->scrollToItem({index, 0},
                             UIKit::UICollectionView::ScrollPosition::centeredHorizontally, true);
}

void ZTCollectionViewController::collectionDidScroll(int index) {
  if (auto model = delegate()) model->collectionDidScroll(index);
}

std::optional<int> ZTCollectionViewController::pageIndex(UIKit::CGFloat offsetX) const {
  const auto& own = viewIfLoaded();
  if (!own || pages_.empty()) return std::nullopt;
  const UIKit::CGFloat quotient = offsetX / own->frame().size.width;
  if (!std::isfinite(quotient)) return std::nullopt;
  const UIKit::CGFloat last = static_cast<UIKit::CGFloat>(pages_.size() - 1);
  return static_cast<int>(std::trunc(std::clamp<UIKit::CGFloat>(quotient, 0, last)));
}

int ZTCollectionViewController::numberOfItems(UIKit::UICollectionView&, int) {
  return static_cast<int>(pages_.size());
}

std::shared_ptr<UIKit::UICollectionViewCell> ZTCollectionViewController::cellForItem(
    UIKit::UICollectionView& collectionView, UIKit::IndexPath indexPath) {
  auto cell = collectionView.dequeueReusableCell(cellId, indexPath);
  if (!cell || indexPath.row < 0 || indexPath.row >= static_cast<int>(pages_.size())) return cell;
  const auto& page = pages_[static_cast<std::size_t>(indexPath.row)]->view();
  page->setFrame(cell->bounds());
  cell->addSubview(page);
  return cell;
}

std::optional<UIKit::CGSize> ZTCollectionViewController::sizeForItem(
    UIKit::UICollectionView&, const UIKit::UICollectionViewFlowLayout&, UIKit::IndexPath) {
  if (const auto& own = viewIfLoaded()) return own->frame().size;
  return std::nullopt;
}

void ZTCollectionViewController::scrollViewWillEndDragging(UIKit::UIScrollView&, UIKit::CGPoint,
                                                           UIKit::CGPoint& targetContentOffset) {
  const auto index = pageIndex(targetContentOffset.x);
  dismissKeyboardIfNeeded();
  if (index) collectionDidScroll(*index);
}

void ZTCollectionViewController::dismissKeyboardIfNeeded() {
  for (const auto& page : pages_) page->view()->endEditing(true);
}

}  // namespace ZentrelSDK
