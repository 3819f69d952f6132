#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/Clock.hpp"
#include "UIKit/UIModalPresentationStyle.hpp"
#include "UIKit/UIResponder.hpp"

namespace Foundation {
class Bundle;
}  // namespace Foundation

namespace UIKit {

class UINavigationController;
class UIPresentationController;
class UITabBarController;
class UIView;
class UIViewControllerTransitionCoordinator;
class UIViewControllerTransitioningDelegate;

// Swift `UIUserInterfaceStyle`, raw values as on the platform.
enum class UIUserInterfaceStyle : int { unspecified = 0, light = 1, dark = 2 };
// Swift `UIStatusBarStyle`, raw values as on the platform.
enum class UIStatusBarStyle : int { defaultStyle = 0, lightContent = 1, darkContent = 3 };

// Manages a view: loaded on first access (from its interface file when it has a nib name),
// then `viewDidLoad`. Presents other controllers modally: the presentation chain owns a
// presented controller until its dismissal has completed. Transitions apply their end state
// at once and complete when their duration has passed on the clock, never inline.
class UIViewController : public UIResponder {
 public:
  // Duration of an animated present or dismiss (zero while animations are disabled).
  static constexpr Foundation::TimeInterval transitionDuration = 0.3;

  // Swift `init(nibName:bundle:)`; a null bundle means the main one.
  explicit UIViewController(std::optional<std::string> nibName = std::nullopt,
                            std::shared_ptr<Foundation::Bundle> nibBundle = nullptr);
  ~UIViewController() override;

  const std::optional<std::string>& nibName() const { return nibName_; }
  const std::shared_ptr<Foundation::Bundle>& nibBundle() const { return nibBundle_; }

  // The view, loading it (and running viewDidLoad) on first access.
  const std::shared_ptr<UIView>& view();
  const std::shared_ptr<UIView>& viewIfLoaded() const { return view_; }
  bool isViewLoaded() const { return view_ != nullptr; }
  void setView(std::shared_ptr<UIView> view);
  void loadViewIfNeeded() { view(); }

  // Overridable steps.
  // Makes the view: from the interface file named `nibName` (its "view" outlet), else a plain
  // view the size of the screen. A missing file or outlet is logged and gives the plain view.
  virtual void loadView();
  virtual void viewDidLoad() {}
  virtual void viewWillAppear(bool /*animated*/) {}
  virtual void viewDidAppear(bool /*animated*/) {}
  virtual void viewWillDisappear(bool /*animated*/) {}
  virtual void viewDidDisappear(bool /*animated*/) {}

  // Presentation. Presenting from a controller that already presents, whose view is not in a
  // window, or that is itself in a transition is logged and refused: nothing is shown and
  // the completion is not called, as on the platform. A child presents through its
  // outermost parent (or, for the current-context styles, the nearest one that defines the
  // presentation context); a controller whose view another controller's view holds, without
  // being its child or presented, presents through that controller.
  void present(std::shared_ptr<UIViewController> controller, bool animated,
               std::function<void()> completion = nullptr);
  // Dismisses what this controller presents (with everything above it) or, when it presents
  // nothing, this controller itself. With nothing to dismiss the completion still comes, on
  // the next turn of the run loop. A dismissal asked for during a transition of the same
  // chain waits for that transition to complete.
  void dismiss(bool animated, std::function<void()> completion = nullptr);
  std::shared_ptr<UIViewController> presentedViewController() const;
  std::shared_ptr<UIViewController> presentingViewController() const;
  bool isBeingPresented() const { return transition_ == Transition::presenting; }
  bool isBeingDismissed() const { return transition_ == Transition::dismissing; }
  // While a present or dismiss of this controller, or by it, is in progress: the transition's
  // coordinator, which says when it has ended; a child answers with its parent's. Else null.
  std::shared_ptr<UIViewControllerTransitionCoordinator> transitionCoordinator() const;
  UIModalPresentationStyle modalPresentationStyle() const { return style_; }
  void setModalPresentationStyle(UIModalPresentationStyle style) { style_ = style; }
  // Kept, not rendered: a screen may force its appearance.
  UIUserInterfaceStyle overrideUserInterfaceStyle() const { return interfaceStyle_; }
  void setOverrideUserInterfaceStyle(UIUserInterfaceStyle style) { interfaceStyle_ = style; }
  // What the screen asks of the status bar while it is in front; kept, not rendered.
  virtual UIStatusBarStyle preferredStatusBarStyle() const {
    return UIStatusBarStyle::defaultStyle;
  }
  bool definesPresentationContext() const { return definesContext_; }
  void setDefinesPresentationContext(bool defines) { definesContext_ = defines; }
  // Held weakly, as on the platform; consulted for animated presents and dismisses.
  std::shared_ptr<UIViewControllerTransitioningDelegate> transitioningDelegate() const {
    return transitioningDelegate_.lock();
  }
  void setTransitioningDelegate(std::weak_ptr<UIViewControllerTransitioningDelegate> delegate) {
    transitioningDelegate_ = std::move(delegate);
  }
  // While presented.
  const std::shared_ptr<UIPresentationController>& presentationController() const {
    return presentationController_;
  }
  // How the controller appears and leaves when presented.
  UIModalTransitionStyle modalTransitionStyle() const { return transitionStyle_; }
  void setModalTransitionStyle(UIModalTransitionStyle style) { transitionStyle_ = style; }

  // Containment. `addChild` calls `willMove` on the child, `removeFromParent` calls `didMove`
  // with null; the container calls the other two.
  std::shared_ptr<UIViewController> parent() const;
  const std::vector<std::shared_ptr<UIViewController>>& children() const { return children_; }
  void addChild(const std::shared_ptr<UIViewController>& child);
  void removeFromParent();
  virtual void willMove(UIViewController* /*parent*/) {}
  virtual void didMove(UIViewController* /*parent*/) {}
  std::shared_ptr<UINavigationController> navigationController() const;
  std::shared_ptr<UITabBarController> tabBarController() const;

  // Appearance callbacks, forwarded to the children that are on screen.
  void beginAppearanceTransition(bool isAppearing, bool animated);
  void endAppearanceTransition();
  // Whether a child appears when its view joins the window of a parent on screen, and
  // disappears when it leaves (both unanimated). Containers that time their children's
  // appearance themselves say no.
  virtual bool shouldAutomaticallyForwardAppearanceMethods() const { return true; }

  std::shared_ptr<UIResponder> nextResponder() const override;

 protected:
  // The object that places the presented view in its container.
  virtual std::shared_ptr<UIPresentationController> makePresentationController(
      const std::shared_ptr<UIViewController>& presenting);
  // Which children get the appearance callbacks: all of them unless a container says less.
  virtual std::vector<std::shared_ptr<UIViewController>> childrenForAppearance() const {
    return children_;
  }

 private:
  enum class Transition { none, presenting, dismissing };
  enum class Appearance { disappeared, appearing, appeared, disappearing };

  friend class UIView;
  // From the view, after it joined or left a window.
  void viewDidMoveToWindow(bool inWindow);
  std::shared_ptr<UIViewController> presentationHost(UIModalPresentationStyle style);
  std::vector<std::shared_ptr<UIViewController>> presentedChain() const;
  static void runDeferred();
  // Hands `coordinator` out from each of `controllers` until `endCoordination`.
  static void beginCoordination(
      const std::shared_ptr<UIViewControllerTransitionCoordinator>& coordinator,
      const std::vector<std::shared_ptr<UIViewController>>& controllers);
  static void endCoordination(
      const std::shared_ptr<UIViewControllerTransitionCoordinator>& coordinator,
      const std::vector<std::shared_ptr<UIViewController>>& controllers);

  std::optional<std::string> nibName_;
  std::shared_ptr<Foundation::Bundle> nibBundle_;
  std::shared_ptr<UIView> view_;

  std::shared_ptr<UIViewController> presented_;
  std::weak_ptr<UIViewController> presenting_;
  std::shared_ptr<UIPresentationController> presentationController_;
  UIModalPresentationStyle style_ = UIModalPresentationStyle::automatic;
  bool definesContext_ = false;
  UIUserInterfaceStyle interfaceStyle_ = UIUserInterfaceStyle::unspecified;
  std::weak_ptr<UIViewControllerTransitioningDelegate> transitioningDelegate_;
  Transition transition_ = Transition::none;
  std::shared_ptr<UIViewControllerTransitionCoordinator> coordinator_;

  UIViewController* parent_ = nullptr;  // the parent owns its children
  std::vector<std::shared_ptr<UIViewController>> children_;
  Appearance appearance_ = Appearance::disappeared;
  bool appearanceAnimated_ = false;
  UIModalTransitionStyle transitionStyle_ = UIModalTransitionStyle::coverVertical;
};

}  // namespace UIKit
