#include "ZTDocuments/DocumentsList/DocumentsViewController.hpp"

#include <functional>
#include <memory>
#include <utility>

#include <Dispatch/DispatchQueue.hpp>
#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/UIStoryboard.hpp>
#include <UIKit/UIViewControllerTransitioning.hpp>
#include <UIKit/UIWindow.hpp>

#include "ZTEvents.hpp"
#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "ZTUIComponents/ZTWindowWatcher.hpp"

namespace ZentrelSDK {

namespace {
const bool registered = UIKit::UIStoryboard::registerViewControllerClass<DocumentsViewController>(
    "DocumentsViewController");
}  // namespace

DocumentsViewController::DocumentsViewController(std::optional<std::string> nibName,
                                                 std::shared_ptr<Foundation::Bundle> bundle)
    : UIViewController(std::move(nibName), std::move(bundle)),
      refreshControl(std::make_shared<UIKit::UIRefreshControl>()) {}

DocumentsViewController::~DocumentsViewController() {
  for (auto& action : whenClosed_) Dispatch::DispatchQueue::main().async(std::move(action));
}

std::shared_ptr<DocumentsViewController> DocumentsViewController::self() {
  return sharedAs<DocumentsViewController>();
}

void DocumentsViewController::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("tableView", tableView);
  binder.outlet("logoutButton", logoutButton);
  binder.action("logoutAction:", [this](UIKit::UIControl& sender) {
    if (auto* button = dynamic_cast<UIKit::UIButton*>(&sender)) logoutAction(*button);
  });
}

void DocumentsViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  configureUI();
  if (auto button = logoutButton.lock())
    button->setImage(ZTImageFromLib::makeLibraryImage("logout1"), UIKit::UIButton::State::normal);
  listenToEvents();
  // Dismissed, dismissed under a screen over it, or taken away with its window's root: the
  // last two give it no viewDidDisappear.
  std::weak_ptr<DocumentsViewController> weak = self();
  ZTWindowWatcher::watch(self(), [weak] {
    if (auto list = weak.lock()) list->close();
  });
}

void DocumentsViewController::viewWillAppear(bool animated) {
  UIViewController::viewWillAppear(animated);
  // Listening stops while the list is away; a list shown again hears the events again.
  listenToEvents();
}

void DocumentsViewController::viewDidAppear(bool animated) {
  UIViewController::viewDidAppear(animated);
  loadData();
}

void DocumentsViewController::viewWillDisappear(bool animated) {
  UIViewController::viewWillDisappear(animated);
  ZTEvents::shared()->unregiterEvents(this);
  listening_ = false;
}

// The chain settles after this call; the actions see the list gone.
void DocumentsViewController::close() {
  closed_ = true;
  for (auto& action : std::exchange(whenClosed_, {}))
    Dispatch::DispatchQueue::main().async(std::move(action));
}

void DocumentsViewController::whenClosed(std::function<void()> action) {
  if (!action) return;
  if (closed_) return Dispatch::DispatchQueue::main().async(std::move(action));
  whenClosed_.push_back(std::move(action));
}

void DocumentsViewController::listenToEvents() {
  if (listening_) return;
  listening_ = true;
  // Weakly: while the list is shown the presentation chain keeps it.
  std::weak_ptr<DocumentsViewController> weak = self();
  ZTEvents::shared()->documentModificationEventListen(this, [weak] {
    if (auto list = weak.lock()) list->documentDidChange();
  });
  ZTEvents::shared()->documentForAppLoadingSuccessEventListen(
      this, [weak](std::vector<ZTPublicDocumentElement>) {
        if (auto list = weak.lock()) list->dismissViewControllersRecursively(list, true);
      });
}

// The screens the list presented close without animation, then the rows reload. A list that
// presents nothing stays: it only reloads.
void DocumentsViewController::documentDidChange() {
  if (!presentedViewController()) return loadData();
  std::weak_ptr<DocumentsViewController> weak = self();
  dismiss(false, [weak] {
    if (auto list = weak.lock()) list->loadData();
  });
}

// The bottom of the chain dismisses first, closing everything above it, the list included.
void DocumentsViewController::dismissViewControllersRecursively(
    const std::shared_ptr<UIKit::UIViewController>& top, bool animated) {
  if (auto presenting = top->presentingViewController())
    dismissViewControllersRecursively(presenting);
  top->dismiss(animated);
}

void DocumentsViewController::logoutAction(UIKit::UIButton& /*sender*/) {
  logout();
}

}  // namespace ZentrelSDK
