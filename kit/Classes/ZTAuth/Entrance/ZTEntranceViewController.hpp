#pragma once

#include <functional>
#include <memory>

#include <UIKit/UIImageView.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTAuth/Entrance/ZTEntranceViewModel.hpp"

namespace Foundation {
class Bundle;
}

namespace ZentrelSDK {

// The sign-in entrance: a logo, the login and sign-up tabs with an underline under the
// selected one, and the pages side by side in a paged collection. A tab tap scrolls to its
// page, a swipe selects the page's tab. It closes itself only when a page reports that the user
// has entered; gone any other way (the host may dismiss it), it emits "AUTH_DID_CANCELLED".
// Laid out by the interface file "ZTEntranceContainerView". Main thread only.
class ZTEntranceViewController : public UIKit::UIViewController,
                                 public ZTTabbedEntranceParentMainView {
 public:
  // Swift `init(viewModel:)`; the screen owns its view model.
  explicit ZTEntranceViewController(std::shared_ptr<ZTTabbedEntranceViewModel> viewModel);
  ZTEntranceViewController(std::optional<std::string> nibName,
                           std::shared_ptr<Foundation::Bundle> bundle,
                           std::shared_ptr<ZTTabbedEntranceViewModel> viewModel);

  std::weak_ptr<UIKit::UILabel> loginLabelTab;
  std::weak_ptr<UIKit::UILabel> signUpLabelTab;
  std::weak_ptr<UIKit::UIView> swipableLineView;
  // Only its frame is used: the collection's.
  std::weak_ptr<UIKit::UIView> containerForCollectionView;
  std::weak_ptr<UIKit::UIImageView> logoViewImage;
  const std::shared_ptr<ZTTabbedEntranceViewModel> viewModel;

  void viewDidLoad() override;
  void viewDidDisappear(bool animated) override;
  void bindInterface(UIKit::InterfaceBinder& binder) override;
  UIKit::UIStatusBarStyle preferredStatusBarStyle() const override {
    return UIKit::UIStatusBarStyle::lightContent;
  }

  void selectTab(int index) override;
  // Dismisses itself, animated; `action` runs in the dismissal's completion.
  void userDidEnter(std::function<void()> action) override;

  // Colours the tabs, moves the underline and shows the logo for the tab at `index`.
  void configureUI(int index = 0);

 private:
  void addLoginAndSignUpViewControllers();
  void addGesturesToLabels();
  void scrollToLogin();
  void scrollToSignUp();
  void animateLineOffset(int index);
  bool lineShouldNotMove(int index) const;

  // Set once the user has entered or the sign-in was cancelled: the entrance ends only once.
  bool ended_ = false;
};

}  // namespace ZentrelSDK
