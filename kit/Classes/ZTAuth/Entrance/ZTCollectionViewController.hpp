#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <UIKit/UICollectionViewController.hpp>

namespace ZentrelSDK {

class ZTTabbedEntranceViewModel;

// What the entrance view model sees of its page collection.
class ZTPagedCollectionView {
 public:
  virtual ~ZTPagedCollectionView() = default;
  virtual std::shared_ptr<ZTTabbedEntranceViewModel> delegate() const = 0;
  virtual void setDelegate(std::weak_ptr<ZTTabbedEntranceViewModel> delegate) = 0;
  virtual void addPage(std::shared_ptr<UIKit::UIViewController> page) = 0;
  virtual void collectionDidScroll(int index) = 0;
  virtual void scroll(int index) = 0;
};

// Page controllers side by side in a horizontally paged collection, one page per item, each
// as large as the collection. The pages are not children: only their views sit in the cells.
// Every scroll, asked for or dragged, first ends editing on every page. Main thread only.
class ZTCollectionViewController : public UIKit::UICollectionViewController,
                                   public ZTPagedCollectionView {
 public:
  explicit ZTCollectionViewController(std::shared_ptr<UIKit::UICollectionViewFlowLayout> layout);

  std::shared_ptr<ZTTabbedEntranceViewModel> delegate() const override { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<ZTTabbedEntranceViewModel> delegate) override {
    delegate_ = std::move(delegate);
  }
  // Appends; a null page is ignored.
  void addPage(std::shared_ptr<UIKit::UIViewController> page) override;
  // Centres the page, animated; an index outside the pages is ignored.
  void scroll(int index) override;
  // Hands the index to the delegate.
  void collectionDidScroll(int index) override;
  const std::vector<std::shared_ptr<UIKit::UIViewController>>& pages() const { return pages_; }

  // The page a content offset rests on, kept within the pages; none when the view has no
  // width, the quotient is not a finite number, or there are no pages.
  std::optional<int> pageIndex(UIKit::CGFloat offsetX) const;

  void viewDidLoad() override;
  int numberOfItems(UIKit::UICollectionView& collectionView, int section) override;
  std::shared_ptr<UIKit::UICollectionViewCell> cellForItem(UIKit::UICollectionView& collectionView,
                                                           UIKit::IndexPath indexPath) override;
  std::optional<UIKit::CGSize> sizeForItem(UIKit::UICollectionView& collectionView,
                                           const UIKit::UICollectionViewFlowLayout& layout,
                                           UIKit::IndexPath indexPath) override;
  void scrollViewWillEndDragging(UIKit::UIScrollView& scrollView, UIKit::CGPoint velocity,
                                 UIKit::CGPoint& targetContentOffset) override;

 private:
  void configureCollectionView();
  void dismissKeyboardIfNeeded();

  std::weak_ptr<ZTTabbedEntranceViewModel> delegate_;
  const std::string cellId = "cellId";
  std::vector<std::shared_ptr<UIKit::UIViewController>> pages_;
};

}  // namespace ZentrelSDK
