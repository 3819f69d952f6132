#include "UIKit/UICollectionViewFlowLayout.hpp"

#include <algorithm>
#include <cmath>

#include "UIKit/UICollectionView.hpp"

namespace UIKit {

namespace {
bool usable(CGFloat v) {
  return std::isfinite(v) && v >= 0;
}
}  // namespace

void UICollectionViewFlowLayout::setItemSize(CGSize size) {
  if (usable(size.width) && usable(size.height)) itemSize_ = size;
}

void UICollectionViewFlowLayout::setMinimumLineSpacing(CGFloat spacing) {
  if (usable(spacing)) lineSpacing_ = spacing;
}

void UICollectionViewFlowLayout::setMinimumInteritemSpacing(CGFloat spacing) {
  if (usable(spacing)) interitemSpacing_ = spacing;
}

UICollectionViewFlowLayout::Placement UICollectionViewFlowLayout::place(
    UICollectionView& collectionView, int count) const {
  // Worked out along two axes: `along` runs inside a line, `across` from line to line.
  const bool vertical = direction_ == ScrollDirection::vertical;
  const CGSize bounds = collectionView.bounds().size;
  const auto& in = sectionInset_;
  const CGFloat start = vertical ? in.left : in.top;
  const CGFloat limit = vertical ? bounds.width - in.right : bounds.height - in.bottom;
  auto delegate = collectionView.flowDelegate();

  Placement placement;
  CGFloat along = start, across = vertical ? in.top : in.left, lineDepth = 0;
  for (int item = 0; item < count; ++item) {
    CGSize size = itemSize_;
    if (delegate) {
      if (auto s = delegate->sizeForItem(collectionView, *this, {item, 0});
          s && usable(s->width) && usable(s->height))
        size = *s;
    }
    const CGFloat length = vertical ? size.width : size.height;
    const CGFloat depth = vertical ? size.height : size.width;
    if (along > start && along + length > limit) {  // the line is full
      across += lineDepth + lineSpacing_;
      along = start;
      lineDepth = 0;
    }
    placement.frames.push_back(vertical ? CGRect::make(along, across, size.width, size.height)
                                        : CGRect::make(across, along, size.width, size.height));
    along += length + interitemSpacing_;
    lineDepth = std::max(lineDepth, depth);
  }
  const CGFloat end = across + lineDepth + (vertical ? in.bottom : in.right);
  placement.contentSize = vertical ? CGSize{bounds.width, end} : CGSize{end, bounds.height};
  return placement;
}

}  // namespace UIKit
