#pragma once

#include <memory>

#include "UIKit/UICollectionView.hpp"
#include "UIKit/UIViewController.hpp"

namespace UIKit {

// A controller whose view is a collection view, which has it as data source and delegate.
// Subclasses answer for the items.
class UICollectionViewController : public UIViewController,
                                   public UICollectionViewDataSource,
                                   public UICollectionViewDelegateFlowLayout {
 public:
  explicit UICollectionViewController(std::shared_ptr<UICollectionViewFlowLayout> layout);

  // Loads the view.
  std::shared_ptr<UICollectionView> collectionView();

  int numberOfItems(UICollectionView& /*collectionView*/, int /*section*/) override { return 0; }
  std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView& /*collectionView*/,
                                                    IndexPath /*indexPath*/) override {
    return nullptr;
  }

  void loadView() override;

 private:
  std::shared_ptr<UICollectionViewFlowLayout> layout_;
};

}  // namespace UIKit
