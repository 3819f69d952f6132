#include "ZTAuth/Entrance/ZTEntranceViewModel.hpp"

#include <UIKit/UIView.hpp>

#include "ZTEvents.hpp"

namespace ZentrelSDK {

void ZTEntranceViewModel::setupParentViewController(
    std::shared_ptr<ZTTabbedEntranceParentMainView> parent) {
  parent_ = parent;
  ZTEvents::shared()->userDidEnterListen(this, [weak = weak_from_this()] {
    if (auto self = weak.lock()) self->userDidEnter();
  });
}

void ZTEntranceViewModel::userDidEnter() {
  // Dropped first, so the chain runs once however often the event comes.
  unregisterAllEvents();
  if (auto parent = parentViewController())
    parent->userDidEnter([] { ZTEvents::shared()->authEventEmit(); });
}

void ZTEntranceViewModel::setupCollectionViewController(UIKit::CGRect frame) {
  auto parent = std::dynamic_pointer_cast<UIKit::UIViewController>(parentViewController());
  if (!parent) return;
  auto collection =
      std::make_shared<ZTCollectionViewController>(createHorizontalFlowLayout(frame.size));
  collectionViewController_ = collection;
  collection->setDelegate(weak_from_this());
  parent->addChild(collection);
  collection->view()->setFrame(frame);
  collection->willMove(parent.get());
  parent->view()->addSubview(collection->view());
  collection->didMove(parent.get());
}

void ZTEntranceViewModel::appendToCollectionView(
    std::shared_ptr<UIKit::UIViewController> viewController) {
  if (collectionViewController_) collectionViewController_->addPage(std::move(viewController));
}

void ZTEntranceViewModel::scrollTo(int pageIndex) {
  if (!collectionViewController_) return;
  collectionViewController_->scroll(pageIndex);
  if (auto parent = parentViewController()) parent->selectTab(pageIndex);
}

void ZTEntranceViewModel::collectionDidScroll(int pageIndex) {
  if (auto parent = parentViewController()) parent->selectTab(pageIndex);
}

std::shared_ptr<UIKit::UICollectionViewFlowLayout> ZTEntranceViewModel::createHorizontalFlowLayout(
    UIKit::CGSize itemSize) {
  auto layout = std::make_shared<UIKit::UICollectionViewFlowLayout>();
  layout->setScrollDirection(UIKit::UICollectionViewFlowLayout::ScrollDirection::horizontal);
  layout->setMinimumLineSpacing(0);
  layout->setItemSize(itemSize);
  return layout;
}

void ZTEntranceViewModel::unregisterAllEvents() {
  ZTEvents::shared()->unregiterEvents(this);
}

}  // namespace ZentrelSDK
