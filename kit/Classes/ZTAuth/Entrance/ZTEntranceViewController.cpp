#include "ZTAuth/Entrance/ZTEntranceViewController.hpp"

#include <Foundation/Bundle.hpp>
#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/UITapGestureRecognizer.hpp>

#include "ZTAuth/Login/ZTLoginViewController.hpp"
#include "ZTAuth/SignUp/ZTSignUpViewController.hpp"
#include "ZTEvents.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

ZTEntranceViewController::ZTEntranceViewController(
    std::shared_ptr<ZTTabbedEntranceViewModel> viewModel)
    : ZTEntranceViewController("ZTEntranceContainerView",
                               Foundation::Bundle::forIdentifier(ZTConstants::BundleID),
                               std::move(viewModel)) {}

ZTEntranceViewController::ZTEntranceViewController(
    std::optional<std::string> nibName, std::shared_ptr<Foundation::Bundle> bundle,
    std::shared_ptr<ZTTabbedEntranceViewModel> viewModel)
    : UIViewController(std::move(nibName), std::move(bundle)), viewModel(std::move(viewModel)) {}

void ZTEntranceViewController::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("loginLabelTab", loginLabelTab);
  binder.outlet("signUpLabelTab", signUpLabelTab);
  binder.outlet("swipableLineView", swipableLineView);
  binder.outlet("containerForCollectionView", containerForCollectionView);
  binder.outlet("logoViewImage", logoViewImage);
}

void ZTEntranceViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  if (viewModel) {
    viewModel->setupParentViewController(sharedAs<ZTEntranceViewController>());
    if (auto container = containerForCollectionView.lock())
      viewModel->setupCollectionViewController(container->frame());
    addLoginAndSignUpViewControllers();
  }
  addGesturesToLabels();
  configureUI(0);
}

void ZTEntranceViewController::viewDidDisappear(bool animated) {
  UIViewController::viewDidDisappear(animated);
  // Only covered by a screen presented over it: it comes back.
  if (ended_ || (!isBeingDismissed() && presentingViewController())) return;
  ended_ = true;
  // Closed without a sign-in: whoever waits for one would otherwise wait for ever.
  ZTEvents::shared()->authWasCancelledEmit();
}

void ZTEntranceViewController::addLoginAndSignUpViewControllers() {
  auto bundle = Foundation::Bundle::forIdentifier(ZTConstants::BundleID);
  viewModel->appendToCollectionView(ZTLoginViewController::make("ZTLoginViewController", bundle));
  viewModel->appendToCollectionView(ZTSignUpViewController::make("ZTSignUpViewController", bundle));
}

void ZTEntranceViewController::addGesturesToLabels() {
  auto self = sharedAs<ZTEntranceViewController>();
  if (auto label = loginLabelTab.lock()) {
    auto tap = std::make_shared<UIKit::UITapGestureRecognizer>();
    tap->addTarget(self, &ZTEntranceViewController::scrollToLogin);
    label->addGestureRecognizer(tap);
  }
  if (auto label = signUpLabelTab.lock()) {
    auto tap = std::make_shared<UIKit::UITapGestureRecognizer>();
    tap->addTarget(self, &ZTEntranceViewController::scrollToSignUp);
    label->addGestureRecognizer(tap);
  }
}

void ZTEntranceViewController::scrollToLogin() {
  if (viewModel) viewModel->scrollTo(0);
}

void ZTEntranceViewController::scrollToSignUp() {
  if (viewModel) viewModel->scrollTo(1);
}

void ZTEntranceViewController::selectTab(int index) {
  configureUI(index);
}

void ZTEntranceViewController::userDidEnter(std::function<void()> action) {
  ended_ = true;
  dismiss(true, std::move(action));
}

}  // namespace ZentrelSDK
