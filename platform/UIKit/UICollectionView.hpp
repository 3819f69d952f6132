#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "UIKit/IndexPath.hpp"
#include "UIKit/OptionSet.hpp"
#include "UIKit/ReusePool.hpp"
#include "UIKit/UICollectionViewCell.hpp"
#include "UIKit/UICollectionViewFlowLayout.hpp"
#include "UIKit/UIScrollView.hpp"

namespace UIKit {

class UICollectionView;

// Where the items come from. Called on the main thread.
class UICollectionViewDataSource {
 public:
  virtual ~UICollectionViewDataSource() = default;
  virtual int numberOfItems(UICollectionView& collectionView, int section) = 0;
  virtual std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView& collectionView,
                                                            IndexPath indexPath) = 0;
};

class UICollectionViewDelegate : public UIScrollViewDelegate {
 public:
  virtual void didSelectItem(UICollectionView& /*collectionView*/, IndexPath /*indexPath*/) {}
};

class UICollectionViewDelegateFlowLayout : public UICollectionViewDelegate {
 public:
  // Null: the layout's item size.
  virtual std::optional<CGSize> sizeForItem(UICollectionView& /*collectionView*/,
                                            const UICollectionViewFlowLayout& /*layout*/,
                                            IndexPath /*indexPath*/) {
    return std::nullopt;
  }
};

// Items of one section placed by a flow layout. Every item's cell is made on `reloadData`
// (which happens by itself when the collection first reaches a window); cells are handed out
// again by reuse identifier. Data source and delegate are held weakly.
class UICollectionView : public UIScrollView {
 public:
  enum class ScrollPosition : unsigned {
    none = 0,
    top = 1 << 0,
    centeredVertically = 1 << 1,
    bottom = 1 << 2,
    left = 1 << 3,
    centeredHorizontally = 1 << 4,
    right = 1 << 5,
  };
  friend constexpr bool enableOptionSet(ScrollPosition) { return true; }

  // A null layout gets a default flow layout.
  UICollectionView(CGRect frame, std::shared_ptr<UICollectionViewFlowLayout> layout);

  const std::shared_ptr<UICollectionViewFlowLayout>& collectionViewLayout() const {
    return layout_;
  }
  std::shared_ptr<UICollectionViewDataSource> dataSource() const { return dataSource_.lock(); }
  void setDataSource(std::weak_ptr<UICollectionViewDataSource> source) {
    dataSource_ = std::move(source);
  }
  std::shared_ptr<UICollectionViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<UICollectionViewDelegate> delegate);
  // The delegate when it answers for the flow layout.
  std::shared_ptr<UICollectionViewDelegateFlowLayout> flowDelegate() const;

  // Made with `(CGRect{})`; a later registration replaces an earlier one.
  template <class C>
  void registerClass(const std::string& identifier) {
    registerFactory(identifier, [] { return std::make_shared<C>(CGRect{}); });
  }
  // A cell to reuse, or a new one of the registered class, framed for the item while the
  // collection asks its data source for cells; null (reported) for an identifier nobody
  // registered (the platform raises).
  std::shared_ptr<UICollectionViewCell> dequeueReusableCell(const std::string& identifier,
                                                            IndexPath indexPath);

  void reloadData();
  int numberOfItems(int section = 0) const;
  std::shared_ptr<UICollectionViewCell> cellForItem(IndexPath indexPath) const;
  std::optional<IndexPath> indexPathForCell(const UICollectionViewCell& cell) const;
  const std::vector<std::shared_ptr<UICollectionViewCell>>& visibleCells() const { return cells_; }
  // Moves the content so the item sits at `position`, kept inside the content.
  void scrollToItem(IndexPath indexPath, ScrollPosition position, bool animated);

 protected:
  void didMoveToWindow() override;

 private:
  friend class UICollectionViewCell;
  void registerFactory(const std::string& identifier,
                       std::function<std::shared_ptr<UICollectionViewCell>()> factory);
  void userSelected(UICollectionViewCell& cell);

  std::shared_ptr<UICollectionViewFlowLayout> layout_;
  std::weak_ptr<UICollectionViewDataSource> dataSource_;
  std::weak_ptr<UICollectionViewDelegate> delegate_;
  ReusePool<UICollectionViewCell> pool_;
  std::vector<std::shared_ptr<UICollectionViewCell>> cells_;  // one per item
  std::vector<CGRect> placedFrames_;  // while the data source hands out cells
  bool loaded_ = false;
};

}  // namespace UIKit
