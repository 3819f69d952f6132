#include "UIKit/UICollectionViewController.hpp"

#include "UIKit/UIScreen.hpp"

namespace UIKit {

UICollectionViewController::UICollectionViewController(
    std::shared_ptr<UICollectionViewFlowLayout> layout)
    : layout_(std::move(layout)) {}

std::shared_ptr<UICollectionView> UICollectionViewController::collectionView() {
  return std::dynamic_pointer_cast<UICollectionView>(view());
}

void UICollectionViewController::loadView() {
  auto collection = std::make_shared<UICollectionView>(UIScreen::main().bounds(), layout_);
  auto self = sharedAs<UICollectionViewController>();
  collection->setDataSource(std::weak_ptr<UICollectionViewDataSource>(self));
  collection->setDelegate(std::weak_ptr<UICollectionViewDelegate>(self));
  setView(collection);
}

}  // namespace UIKit
