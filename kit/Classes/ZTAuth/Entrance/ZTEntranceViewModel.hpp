#pragma once

#include <functional>
#include <memory>

#include <CoreGraphics/CGGeometry.hpp>
#include <UIKit/UICollectionViewFlowLayout.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTAuth/Entrance/ZTCollectionViewController.hpp"
#include "ZTEventsRegistration.hpp"

namespace ZentrelSDK {

// What the entrance view model asks of its screen.
class ZTTabbedEntranceParentMainView {
 public:
  virtual ~ZTTabbedEntranceParentMainView() = default;
  virtual void selectTab(int index) = 0;
  // Closes the entrance; `action` runs once it has closed.
  virtual void userDidEnter(std::function<void()> action) = 0;
};

// What the entrance screen and its page collection see of the view model.
class ZTTabbedEntranceViewModel {
 public:
  virtual ~ZTTabbedEntranceViewModel() = default;
  virtual std::shared_ptr<ZTTabbedEntranceParentMainView> parentViewController() const = 0;
  virtual void setParentViewController(std::weak_ptr<ZTTabbedEntranceParentMainView> parent) = 0;
  virtual void setupParentViewController(
      std::shared_ptr<ZTTabbedEntranceParentMainView> parent) = 0;
  virtual void setupCollectionViewController(UIKit::CGRect frame) = 0;
  virtual void appendToCollectionView(std::shared_ptr<UIKit::UIViewController> viewController) = 0;
  virtual void scrollTo(int pageIndex) = 0;
  virtual void collectionDidScroll(int pageIndex) = 0;
};

// Builds and owns the page collection, relays tab choices between screen and collection, and
// closes the entrance with the auth event when a page reports that the user has entered.
// Main thread only.
class ZTEntranceViewModel : public ZTTabbedEntranceViewModel,
                            public std::enable_shared_from_this<ZTEntranceViewModel> {
 public:
  ZTEntranceViewModel() = default;

  std::shared_ptr<ZTTabbedEntranceParentMainView> parentViewController() const override {
    return parent_.lock();
  }
  void setParentViewController(std::weak_ptr<ZTTabbedEntranceParentMainView> parent) override {
    parent_ = std::move(parent);
  }
  // Keeps the parent weakly and listens for "USER_DID_ENTER" until its first post.
  void setupParentViewController(std::shared_ptr<ZTTabbedEntranceParentMainView> parent) override;
  // Installs the collection as a child of the parent over `frame`; nothing without a parent
  // controller.
  void setupCollectionViewController(UIKit::CGRect frame) override;
  // Both of these do nothing before the collection exists.
  void appendToCollectionView(std::shared_ptr<UIKit::UIViewController> viewController) override;
  void scrollTo(int pageIndex) override;
  void collectionDidScroll(int pageIndex) override;

  std::shared_ptr<ZTPagedCollectionView> collectionViewController() const {
    return collectionViewController_;
  }

 private:
  static std::shared_ptr<UIKit::UICollectionViewFlowLayout> createHorizontalFlowLayout(
      UIKit::CGSize itemSize);
  void unregisterAllEvents();
  void userDidEnter();

  std::weak_ptr<ZTTabbedEntranceParentMainView> parent_;
  std::shared_ptr<ZTCollectionViewController> collectionViewController_;
  // Last: its listeners end before the rest of the model goes.
  ZTEventsRegistration events_{this};
};

}  // namespace ZentrelSDK
