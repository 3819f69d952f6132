#pragma once

#include <memory>
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"
#include "UIKit/IndexPath.hpp"
#include "UIKit/UIScrollView.hpp"

namespace UIKit {

class UICollectionView;

// Places items in lines: for vertical scrolling, rows filled left to right; for horizontal,
// columns filled top to bottom. Each item has `itemSize`, or what the collection's delegate
// answers for it. Lines are `minimumLineSpacing` apart, items in a line
// `minimumInteritemSpacing`.
class UICollectionViewFlowLayout {
 public:
  enum class ScrollDirection { vertical = 0, horizontal = 1 };

  ScrollDirection scrollDirection() const { return direction_; }
  void setScrollDirection(ScrollDirection direction) { direction_ = direction; }
  CGSize itemSize() const { return itemSize_; }
  // Negative or non-finite sizes are ignored.
  void setItemSize(CGSize size);
  CGFloat minimumLineSpacing() const { return lineSpacing_; }
  void setMinimumLineSpacing(CGFloat spacing);
  CGFloat minimumInteritemSpacing() const { return interitemSpacing_; }
  void setMinimumInteritemSpacing(CGFloat spacing);
  UIEdgeInsets sectionInset() const { return sectionInset_; }
  void setSectionInset(UIEdgeInsets inset) { sectionInset_ = inset; }

  // The frames of `count` items and the content size they make.
  struct Placement {
    std::vector<CGRect> frames;
    CGSize contentSize;
  };
  Placement place(UICollectionView& collectionView, int count) const;

 private:
  ScrollDirection direction_ = ScrollDirection::vertical;
  CGSize itemSize_{50, 50};
  CGFloat lineSpacing_ = 10;
  CGFloat interitemSpacing_ = 10;
  UIEdgeInsets sectionInset_;
};

}  // namespace UIKit
