#include "UIKit/UIViewController.hpp"

#include <algorithm>

#include "Dispatch/DispatchQueue.hpp"
#include "UIKit/InterfaceBinder.hpp"
#include "UIKit/UIKitLog.hpp"
#include "UIKit/UINavigationController.hpp"
#include "UIKit/UINib.hpp"
#include "UIKit/UIPresentationController.hpp"
#include "UIKit/UIScreen.hpp"
#include "UIKit/UITabBarController.hpp"
#include "UIKit/UIView.hpp"
#include "UIKit/UIViewControllerTransitioning.hpp"
#include "UIKit/UIWindow.hpp"

namespace UIKit {

namespace {
// Dismissals waiting for a transition of their chain to complete.
std::vector<std::function<void()>>& deferred() {
  static auto* list = new std::vector<std::function<void()>>;
  return *list;
}

bool coversContext(UIModalPresentationStyle style) {
  return style == UIModalPresentationStyle::currentContext ||
         style == UIModalPresentationStyle::overCurrentContext;
}

UIModalPresentationStyle resolved(UIModalPresentationStyle style) {
  return style == UIModalPresentationStyle::automatic ? UIModalPresentationStyle::pageSheet : style;
}

// The context the platform hands a custom animator. It keeps the animator until the
// transition is completed, and ends the transition on a later turn of the run loop, so a
// present or dismiss never completes inside the call that started it.
class TransitionContext final : public UIViewControllerContextTransitioning,
                                public std::enable_shared_from_this<TransitionContext> {
 public:
  struct Parts {
    std::shared_ptr<UIView> container;
    std::shared_ptr<UIView> fromView;
    std::shared_ptr<UIView> toView;
    std::shared_ptr<UIViewController> fromController;
    std::shared_ptr<UIViewController> toController;
    CGRect fromInitial;  // the from-controller's view
    CGRect toFinal;      // the to-controller's view; zero for the uncovered presenter
  };

  TransitionContext(Parts parts, std::shared_ptr<UIViewControllerAnimatedTransitioning> animator,
                    std::function<void(bool)> end)
      : parts_(std::move(parts)), animator_(std::move(animator)), end_(std::move(end)) {}

  std::shared_ptr<UIView> containerView() const override { return parts_.container; }
  std::shared_ptr<UIView> view(UITransitionContextViewKey key) const override {
    return key == UITransitionContextViewKey::from ? parts_.fromView : parts_.toView;
  }
  std::shared_ptr<UIViewController> viewController(
      UITransitionContextViewControllerKey key) const override {
    return key == UITransitionContextViewControllerKey::from ? parts_.fromController
                                                             : parts_.toController;
  }
  CGRect initialFrame(const std::shared_ptr<UIViewController>& controller) const override {
    return controller && controller == parts_.fromController ? parts_.fromInitial : CGRect{};
  }
  CGRect finalFrame(const std::shared_ptr<UIViewController>& controller) const override {
    return controller && controller == parts_.toController ? parts_.toFinal : CGRect{};
  }
  bool isAnimated() const override { return true; }
  bool transitionWasCancelled() const override { return cancelled_; }

  void completeTransition(bool didComplete) override {
    if (done_) return;
    done_ = true;
    cancelled_ = !didComplete;
    auto self = shared_from_this();
    Dispatch::DispatchQueue::main().async([self, didComplete] {
      auto animator = std::move(self->animator_);
      auto end = std::move(self->end_);
      self->animator_.reset();
      self->end_ = nullptr;
      if (end) end(didComplete);
      if (animator) animator->animationEnded(didComplete);
    });
  }

  void start() {
    auto animator = animator_;
    animator->animateTransition(shared_from_this());
  }

 private:
  Parts parts_;
  std::shared_ptr<UIViewControllerAnimatedTransitioning> animator_;
  std::function<void(bool)> end_;
  bool done_ = false;
  bool cancelled_ = false;
};
}  // namespace

UIViewController::UIViewController(std::optional<std::string> nibName,
                                   std::shared_ptr<Foundation::Bundle> nibBundle)
    : nibName_(std::move(nibName)), nibBundle_(std::move(nibBundle)) {}

UIViewController::~UIViewController() {
  for (auto& child : children_) child->parent_ = nullptr;
}

const std::shared_ptr<UIView>& UIViewController::view() {
  if (!view_) {
    loadView();
    if (!view_) view_ = std::make_shared<UIView>(UIScreen::main().bounds());
    view_->viewController_ = weakAs<UIViewController>();
    viewDidLoad();
  }
  return view_;
}

void UIViewController::setView(std::shared_ptr<UIView> view) {
  if (view_ && view_ != view) view_->viewController_.reset();
  view_ = std::move(view);
  if (view_) view_->viewController_ = weakAs<UIViewController>();
}

void UIViewController::loadView() {
  if (!nibName_) {
    view_ = std::make_shared<UIView>(UIScreen::main().bounds());
    return;
  }
  std::shared_ptr<UIView> loaded;
  const UINib nib(*nibName_, nibBundle_);
  nib.instantiate(this, [&](InterfaceBinder& binder) { binder.outlet("view", loaded); });
  if (!loaded) {
    uikitLog("-[" + className() + " loadView] could not load the \"" + *nibName_ +
             "\" interface file's view outlet; showing an empty view");
    loaded = std::make_shared<UIView>(UIScreen::main().bounds());
  }
  view_ = std::move(loaded);
}

std::shared_ptr<UIResponder> UIViewController::nextResponder() const {
  if (auto p = parent()) return p;
  return presentingViewController();
}

// Presentation.

std::shared_ptr<UIViewController> UIViewController::presentedViewController() const {
  if (presented_) return presented_;
  if (auto p = parent()) return p->presentedViewController();
  return nullptr;
}

std::shared_ptr<UIViewController> UIViewController::presentingViewController() const {
  if (auto presenting = presenting_.lock()) return presenting;
  if (auto p = parent()) return p->presentingViewController();
  return nullptr;
}

std::shared_ptr<UIViewController> UIViewController::presentationHost(
    UIModalPresentationStyle style) {
  auto host = sharedAs<UIViewController>();
  if (coversContext(style)) {
    for (auto c = host; c; c = c->parent()) {
      if (c->definesContext_) return c;
    }
  }
  while (auto p = host->parent()) host = p;
  // A controller whose view sits in another controller's view without being its child (a
  // page placed in a cell) presents through that controller, so the chain stays reachable
  // from the window's root.
  if (!host->presenting_.lock() && host->view_) {
    for (auto v = host->view_->superview(); v; v = v->superview()) {
      if (auto outer = v->viewController_.lock()) return outer->presentationHost(style);
    }
  }
  return host;
}

std::vector<std::shared_ptr<UIViewController>> UIViewController::presentedChain() const {
  std::vector<std::shared_ptr<UIViewController>> chain;
  for (auto c = presented_; c; c = c->presented_) chain.push_back(c);
  return chain;
}

std::shared_ptr<UIPresentationController> UIViewController::makePresentationController(
    const std::shared_ptr<UIViewController>& presenting) {
  return std::make_shared<UIPresentationController>(sharedAs<UIViewController>(), presenting);
}

void UIViewController::present(std::shared_ptr<UIViewController> controller, bool animated,
                               std::function<void()> completion) {
  if (!controller) {
    uikitLog("Attempt to present a null view controller on " + description() + ".");
    return;
  }
  auto self = sharedAs<UIViewController>();
  if (!self) {
    uikitLog("Attempt to present " + controller->description() + " from " + description() +
             ", which no shared_ptr holds.");
    return;
  }
  if (controller == self || controller->presenting_.lock() || controller->parent()) {
    uikitLog("Application tried to present modally a view controller " + controller->description() +
             " that is already presented or has a parent.");
    return;
  }
  const auto style = resolved(controller->style_);
  auto host = presentationHost(style);
  if (host->presented_) {
    uikitLog("Attempt to present " + controller->description() + " on " + host->description() +
             " (from " + description() + ") which is already presenting " +
             host->presented_->description() + ".");
    return;
  }
  if (host->transition_ != Transition::none) {
    uikitLog("Attempt to present " + controller->description() + " on " + host->description() +
             " while a presentation or dismissal is in progress.");
    return;
  }
  auto hostView = host->viewIfLoaded();
  auto window = hostView ? hostView->window() : nullptr;
  if (!window) {
    uikitLog("Attempt to present " + controller->description() + " on " + host->description() +
             " whose view is not in the window hierarchy.");
    return;
  }

  auto presentation = controller->makePresentationController(host);
  std::shared_ptr<UIViewControllerAnimatedTransitioning> animator;
  if (auto delegate = controller->transitioningDelegate(); delegate && animated)
    animator = delegate->animationControllerForPresented(controller, host, self);
  const auto duration = UIView::effectiveDuration(animator   ? animator->transitionDuration(nullptr)
                                                  : animated ? transitionDuration
                                                             : 0);
  auto coordinator = std::make_shared<UIViewControllerTransitionCoordinator>(animated, duration);
  host->presented_ = controller;
  controller->presenting_ = host;
  controller->presentationController_ = presentation;
  controller->transition_ = Transition::presenting;
  beginCoordination(coordinator, {host, controller});

  const CGRect area =
      coversContext(style) ? hostView->convertTo(hostView->bounds(), nullptr) : window->bounds();
  auto container = std::make_shared<UIView>(area);
  container->setAutoresizingMask(UIView::AutoresizingMask::flexibleWidth |
                                 UIView::AutoresizingMask::flexibleHeight);
  presentation->container_ = container;
  window->addSubview(container);
  presentation->presentationTransitionWillBegin();
  auto presentedView = controller->view();
  const CGRect finalFrame = presentation->frameOfPresentedViewInContainerView();
  if (!animator) {
    presentedView->setFrame(finalFrame);
    container->addSubview(presentedView);
  }

  const bool covers = presentation->shouldRemovePresentersView();
  controller->beginAppearanceTransition(true, animated);
  if (covers) host->beginAppearanceTransition(false, animated);

  auto end = [host, controller, presentation, covers, coordinator,
              completion = std::move(completion)](bool completed) {
    controller->transition_ = Transition::none;
    endCoordination(coordinator, {host, controller});
    if (!completed) {  // the animator undid it: back to before the present
      if (presentation->container_) presentation->container_->removeFromSuperview();
      host->presented_.reset();
      controller->presenting_.reset();
      controller->presentationController_.reset();
      controller->beginAppearanceTransition(false, false);
      if (covers) host->beginAppearanceTransition(true, false);
    }
    presentation->presentationTransitionDidEnd(completed);
    controller->endAppearanceTransition();
    if (covers) host->endAppearanceTransition();
    coordinator->finish(completed);
    if (completion) completion();
    runDeferred();
  };
  if (animator) {
    TransitionContext::Parts parts{
        container,     covers ? hostView : nullptr,
        presentedView, host,
        controller,    hostView->convertTo(hostView->bounds(), container.get()),
        finalFrame};
    std::make_shared<TransitionContext>(std::move(parts), animator, std::move(end))->start();
    return;
  }
  Dispatch::DispatchQueue::main().asyncAfter(duration, [end = std::move(end)] { end(true); });
}

void UIViewController::dismiss(bool animated, std::function<void()> completion) {
  auto self = sharedAs<UIViewController>();
  std::shared_ptr<UIViewController> host;
  if (!self) {  // not held by a shared_ptr, so neither presented nor presenting
    if (completion) Dispatch::DispatchQueue::main().async(std::move(completion));
    return;
  }
  for (auto c = self; c && !host; c = c->parent()) {
    if (c->presented_) host = c;
  }
  if (!host) {
    for (auto c = self; c && !host; c = c->parent()) host = c->presenting_.lock();
  }
  if (!host) {
    if (completion) Dispatch::DispatchQueue::main().async(std::move(completion));
    return;
  }
  auto chain = host->presentedChain();
  const bool busy = std::any_of(chain.begin(), chain.end(),
                                [](const auto& c) { return c->transition_ != Transition::none; });
  if (busy || host->transition_ == Transition::presenting) {
    deferred().push_back([self, animated, completion = std::move(completion)]() mutable {
      self->dismiss(animated, std::move(completion));
    });
    return;
  }

  for (auto& c : chain) c->transition_ = Transition::dismissing;
  auto front = chain.front();
  std::shared_ptr<UIViewControllerAnimatedTransitioning> animator;
  if (auto delegate = front->transitioningDelegate(); delegate && animated)
    animator = delegate->animationControllerForDismissed(front);
  const auto duration = UIView::effectiveDuration(animator   ? animator->transitionDuration(nullptr)
                                                  : animated ? transitionDuration
                                                             : 0);
  auto coordinator = std::make_shared<UIViewControllerTransitionCoordinator>(animated, duration);
  auto involved = chain;
  involved.push_back(host);
  beginCoordination(coordinator, involved);
  const bool hostReappears = front->presentationController_->shouldRemovePresentersView();
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    (*it)->beginAppearanceTransition(false, animated);
  }
  if (hostReappears) host->beginAppearanceTransition(true, animated);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    auto& presentation = (*it)->presentationController_;
    presentation->dismissalTransitionWillBegin();
    // With an animator the containers stay until it is done: it may move what they hold.
    if (!animator && presentation->container_) presentation->container_->removeFromSuperview();
  }

  auto end = [host, chain, involved, coordinator, hostReappears, animated,
              withAnimator = animator != nullptr,
              completion = std::move(completion)](bool completed) {
    endCoordination(coordinator, involved);
    if (!completed) {  // the animator undid it: everything stays presented
      for (auto& c : chain) c->transition_ = Transition::none;
      for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        (*it)->presentationController_->dismissalTransitionDidEnd(false);
        (*it)->beginAppearanceTransition(true, animated);
        (*it)->endAppearanceTransition();
      }
      if (hostReappears) {
        host->beginAppearanceTransition(false, animated);
        host->endAppearanceTransition();
      }
      coordinator->finish(false);
      runDeferred();
      return;
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      auto& presentation = (*it)->presentationController_;
      if (withAnimator && presentation->container_) presentation->container_->removeFromSuperview();
      presentation->dismissalTransitionDidEnd(true);
      (*it)->endAppearanceTransition();
    }
    host->presented_.reset();
    for (auto& c : chain) {
      c->presenting_.reset();
      c->presented_.reset();
      c->presentationController_.reset();
      c->transition_ = Transition::none;
    }
    if (hostReappears) host->endAppearanceTransition();
    coordinator->finish(true);
    if (completion) completion();
    runDeferred();
  };
  if (animator) {
    auto container = front->presentationController_->containerView();
    auto fromView = front->view();
    auto hostView = host->view();
    TransitionContext::Parts parts{
        container,
        fromView,
        hostReappears ? hostView : nullptr,
        front,
        host,
        container ? fromView->convertTo(fromView->bounds(), container.get()) : fromView->frame(),
        hostReappears && container ? container->bounds() : CGRect{}};
    std::make_shared<TransitionContext>(std::move(parts), animator, std::move(end))->start();
    return;
  }
  Dispatch::DispatchQueue::main().asyncAfter(duration, [end = std::move(end)] { end(true); });
}

void UIViewController::runDeferred() {
  auto waiting = std::move(deferred());
  deferred().clear();
  for (auto& block : waiting) block();
}

// Containment.

std::shared_ptr<UIViewController> UIViewController::parent() const {
  if (!parent_) return nullptr;
  return std::static_pointer_cast<UIViewController>(parent_->weak_from_this().lock());
}

void UIViewController::addChild(const std::shared_ptr<UIViewController>& child) {
  if (!child || child.get() == this || child->parent_ == this) return;
  auto keep = child;
  keep->removeFromParent();
  keep->willMove(this);
  children_.push_back(keep);
  keep->parent_ = this;
}

void UIViewController::removeFromParent() {
  if (!parent_) return;
  auto keep = sharedAs<UIViewController>();
  auto& list = parent_->children_;
  list.erase(std::remove(list.begin(), list.end(), keep), list.end());
  parent_ = nullptr;
  didMove(nullptr);
}

std::shared_ptr<UINavigationController> UIViewController::navigationController() const {
  for (auto c = parent(); c; c = c->parent()) {
    if (auto nav = std::dynamic_pointer_cast<UINavigationController>(c)) return nav;
  }
  return nullptr;
}

std::shared_ptr<UITabBarController> UIViewController::tabBarController() const {
  for (auto c = parent(); c; c = c->parent()) {
    if (auto tab = std::dynamic_pointer_cast<UITabBarController>(c)) return tab;
  }
  return nullptr;
}

// Appearance.

void UIViewController::beginAppearanceTransition(bool isAppearing, bool animated) {
  if (isAppearing) {
    if (appearance_ == Appearance::appearing || appearance_ == Appearance::appeared) return;
    loadViewIfNeeded();
    appearance_ = Appearance::appearing;
    appearanceAnimated_ = animated;
    viewWillAppear(animated);
  } else {
    if (appearance_ == Appearance::disappearing || appearance_ == Appearance::disappeared) return;
    appearance_ = Appearance::disappearing;
    appearanceAnimated_ = animated;
    viewWillDisappear(animated);
  }
  for (auto& child : childrenForAppearance())
    child->beginAppearanceTransition(isAppearing, animated);
}

void UIViewController::viewDidMoveToWindow(bool inWindow) {
  if (!parent_ || !parent_->shouldAutomaticallyForwardAppearanceMethods()) return;
  const bool onScreen = appearance_ == Appearance::appearing || appearance_ == Appearance::appeared;
  if (inWindow && !onScreen) {
    const auto parentState = parent_->appearance_;
    if (parentState != Appearance::appearing && parentState != Appearance::appeared) return;
    beginAppearanceTransition(true, false);
    // A parent still appearing ends its children's transitions with its own.
    if (parentState == Appearance::appeared) endAppearanceTransition();
  } else if (!inWindow && onScreen) {
    beginAppearanceTransition(false, false);
    endAppearanceTransition();
  }
}

void UIViewController::endAppearanceTransition() {
  if (appearance_ == Appearance::appearing) {
    appearance_ = Appearance::appeared;
    viewDidAppear(appearanceAnimated_);
  } else if (appearance_ == Appearance::disappearing) {
    appearance_ = Appearance::disappeared;
    viewDidDisappear(appearanceAnimated_);
  } else {
    return;
  }
  for (auto& child : childrenForAppearance()) child->endAppearanceTransition();
}

}  // namespace UIKit
