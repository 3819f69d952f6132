#include "ZTAuth/Entrance/ZTEntranceViewController.hpp"

#include <utility>

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/Bundle.hpp>
#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/UITapGestureRecognizer.hpp>

#include "ZTAuth/Login/ZTLoginViewController.hpp"
#include "ZTAuth/SignUp/ZTSignUpViewController.hpp"
#include "ZTEvents.hpp"
#include "ZTExtensions/ZTUIApplication.hpp"
#include "ZTUIComponents/ZTWindowWatcher.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

namespace {
// The entrance new callers join. Main thread only.
std::weak_ptr<ZTEntranceViewController>& latest() {
  static std::weak_ptr<ZTEntranceViewController> entrance;
  return entrance;
}
}  // namespace

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
  // Dismissed, dismissed under a screen over it, or cut off from its window's root: the last
  // two give it no viewDidDisappear.
  ZTWindowWatcher::watch(sharedAs<ZTEntranceViewController>(),
                         [weak = weakAs<ZTEntranceViewController>()] {
                           auto self = weak.lock();
                           if (self && self->stage_ == Stage::open) self->end(false);
                         });
}

ZTEntranceViewController::~ZTEntranceViewController() {
  // Released without a sign-in, e.g. with the window or root that showed it.
  end(false);
}

std::shared_ptr<ZTEntranceViewController> ZTEntranceViewController::latestOpened() {
  return latest().lock();
}

std::shared_ptr<ZTEntranceViewController> ZTEntranceViewController::joinable() {
  auto entrance = latestOpened();
  // One closing after a sign-in still takes callers: they hear true with the others.
  if (!entrance || !entrance->maySignIn()) return nullptr;
  return entrance;
}

std::shared_ptr<ZTEntranceViewController> ZTEntranceViewController::open() {
  if (!ZTUIApplication::topViewController()) return nullptr;
  auto entrance =
      std::make_shared<ZTEntranceViewController>(std::make_shared<ZTEntranceViewModel>());
  entrance->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
  latest() = entrance;
  entrance->presentOverTop();
  return entrance;
}

void ZTEntranceViewController::presentOverTop() {
  auto top = ZTUIApplication::topViewController();
  if (!top) return end(false);
  // The last entrance may still be leaving there, and nothing is presented during a transition.
  if (auto coordinator = top->transitionCoordinator()) {
    auto self = sharedAs<ZTEntranceViewController>();
    if (coordinator->animate(nullptr, [self](const auto&) { self->presentOverTop(); })) return;
  }
  ZTUIApplication::present(*top, sharedAs<ZTEntranceViewController>(), true);
  if (!presentingViewController()) return end(false);
  stage_ = Stage::open;
}

void ZTEntranceViewController::addCaller(std::function<void(bool)> caller) {
  if (!caller) return;
  if (stage_ != Stage::over) return callers_.push_back(std::move(caller));
  Dispatch::DispatchQueue::main().async([caller = std::move(caller)] { caller(false); });
}

bool ZTEntranceViewController::maySignIn() {
  if (stage_ == Stage::over) return false;
  if (stage_ != Stage::open) return true;
  // Gone without a sign-in, or in a window the host hides, where the caller could wait for
  // ever: none can come of it now.
  if (ZTWindowWatcher::stillSeen(sharedAs<ZTEntranceViewController>())) return true;
  end(false);
  return false;
}

void ZTEntranceViewController::end(bool signedIn) {
  if (stage_ == Stage::over) return;
  stage_ = Stage::over;
  auto callers = std::exchange(callers_, {});
  if (signedIn) {
    for (auto& caller : callers) caller(true);
    return;
  }
  // Whoever waits for a sign-in would otherwise wait for ever.
  ZTEvents::shared()->authWasCancelledEmit();
  if (callers.empty()) return;
  Dispatch::DispatchQueue::main().async([callers = std::move(callers)] {
    for (const auto& caller : callers) caller(false);
  });
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
  if (stage_ != Stage::over) stage_ = Stage::signedIn;
  dismiss(true, [weak = weakAs<ZTEntranceViewController>(), action = std::move(action)] {
    if (action) action();
    if (auto self = weak.lock()) self->end(true);
  });
}

}  // namespace ZentrelSDK
