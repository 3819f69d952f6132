#pragma once

#include <functional>
#include <memory>
#include <vector>

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
// has entered. A sign-in belongs to one entrance: its callers hear true once it has closed after
// a sign-in; gone any other way (dismissed by the host, alone or under a screen over it, out of
// the window, released) it answers them false and emits "AUTH_DID_CANCELLED".
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

  ~ZTEntranceViewController() override;

  // The entrance a new caller joins: the last one opened, while it is up (or about to come up)
  // and not leaving without a sign-in; one closing after a sign-in is joined too, and answers
  // true. One found gone on the way ends its sign-in.
  static std::shared_ptr<ZTEntranceViewController> joinable();
  // The last entrance opened, as it is: the one a caller just joined or opened.
  static std::shared_ptr<ZTEntranceViewController> latestOpened();
  // Opens a new entrance over the topmost controller, or once the transition under way there
  // ends; it becomes the joinable one. Null when there is no topmost controller.
  static std::shared_ptr<ZTEntranceViewController> open();
  // Hears once, on the main queue: true once the entrance has closed after a sign-in, false
  // when it went without one.
  void addCaller(std::function<void(bool)> caller);
  // Whether a sign-in can still come of this entrance; ends its sign-in when it finds the
  // entrance gone.
  bool maySignIn();

  void viewDidLoad() override;
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

  enum class Stage { opening, open, signedIn, over };
  void presentOverTop();
  // Answers every caller once; true only after a sign-in.
  void end(bool signedIn);

  Stage stage_ = Stage::opening;
  std::vector<std::function<void(bool)>> callers_;
};

}  // namespace ZentrelSDK
