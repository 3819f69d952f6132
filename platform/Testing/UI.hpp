#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"
#include "Foundation/Any.hpp"
#include "Foundation/Clock.hpp"
#include "UIKit/UIView.hpp"

namespace UIKit {
class UIImage;
class UIResponder;
class UIScrollView;
class UITableView;
class UIViewController;
class UIWindow;
}  // namespace UIKit

namespace PlatformTesting {

// Acts as a user on the app's screens: installs a visible key window, finds views, taps
// through the platform's hit testing, types key by key into the first responder, reads what
// is frontmost and moves the manual clock. Main thread only. Leaving it takes the window
// (and every controller it shows) away.
class UI {
 public:
  // A key window the size of the screen with a plain root view controller.
  UI();
  // With this root; null leaves the key window without one.
  explicit UI(std::shared_ptr<UIKit::UIViewController> root);
  ~UI();
  UI(const UI&) = delete;
  UI& operator=(const UI&) = delete;

  const std::shared_ptr<UIKit::UIWindow>& window() const { return window_; }
  std::shared_ptr<UIKit::UIViewController> root() const;

  // Finding, front to back (what is presented last first), hidden views included.
  // By accessibility identifier, which interface files set to the outlet's name.
  template <class V = UIKit::UIView>
  std::shared_ptr<V> find(std::string_view identifier) const {
    for (const auto& view : allViews()) {
      if (view->accessibilityIdentifier() != identifier) continue;
      if (auto typed = std::dynamic_pointer_cast<V>(view)) return typed;
    }
    return nullptr;
  }
  template <class V>
  std::vector<std::shared_ptr<V>> findAll() const {
    std::vector<std::shared_ptr<V>> found;
    for (const auto& view : allViews()) {
      if (auto typed = std::dynamic_pointer_cast<V>(view)) found.push_back(typed);
    }
    return found;
  }
  template <class V>
  std::shared_ptr<V> findFirst() const {
    auto all = findAll<V>();
    return all.empty() ? nullptr : all.front();
  }
  // By the text a view shows (its accessibility label).
  std::shared_ptr<UIKit::UIView> findText(std::string_view text) const;
  // Every view in the window, front to back.
  std::vector<std::shared_ptr<UIKit::UIView>> allViews() const;

  // Acting. Each action lets the main queue run what it caused before returning.
  // Taps the view's centre; true when the touch landed on the view or inside it.
  bool tap(const std::shared_ptr<UIKit::UIView>& view);
  // Taps a point of the window; returns the view hit, or null.
  std::shared_ptr<UIKit::UIView> tapAt(UIKit::CGPoint point);
  // Focuses the first text input in `into` by tapping it (when given), then sends the text
  // key by key to whatever is first responder ("\n" presses Return). False when the tap did
  // not focus it or no key input is first responder.
  bool type(std::string_view text, const std::shared_ptr<UIKit::UIView>& into = nullptr);
  bool pressReturn() { return type("\n"); }
  bool deleteBackward(std::size_t times = 1);
  // Puts `text` on the pasteboard (when given), focuses `into` (when given) as `type` does,
  // opens the edit menu on the first responder and chooses Paste. False when the menu does
  // not offer it.
  bool paste(std::optional<std::string> text = std::nullopt,
             const std::shared_ptr<UIKit::UIView>& into = nullptr);

  // Gestures, each a whole touch sequence through the window's hit testing. True when the
  // first finger landed on the view or inside it.
  // Holds a finger on the view's centre for `seconds` on the manual clock.
  bool longPress(const std::shared_ptr<UIKit::UIView>& view, Foundation::TimeInterval seconds = 1);
  // One finger along `path` (points of the view), down at the first and up at the last;
  // with `cancelled` the system takes the touch away at the last point instead.
  bool pan(const std::shared_ptr<UIKit::UIView>& view, const std::vector<UIKit::CGPoint>& path,
           bool cancelled = false);
  // Two fingers 100 points apart across the view's centre, then spread to each scale in turn
  // and lifted.
  bool pinch(const std::shared_ptr<UIKit::UIView>& view, const std::vector<UIKit::CGFloat>& scales);
  // Drags the content with one finger until its offset would be `target`, then lifts: the
  // scroll view and its delegate settle where it rests. False when the target is not finite,
  // the finger missed the view, or the view did not take the drag (scrolling off, a drag
  // shorter than a pan needs to begin, or one along an axis it cannot scroll).
  bool drag(const std::shared_ptr<UIKit::UIScrollView>& scrollView, UIKit::CGPoint target);
  // Pulls the content down past the refresh distance from where it rests, and lets go: a
  // refresh control the view has starts refreshing. False as for `drag`.
  bool pullToRefresh(const std::shared_ptr<UIKit::UIScrollView>& scrollView);
  // Taps the cell the table shows for that row. False when it shows none there or the touch
  // landed elsewhere.
  bool tapRow(const std::shared_ptr<UIKit::UITableView>& table, int row, int section = 0);
  // The frontmost image picker's delegate hears a pick: of `image` as the original image, or
  // of `info` as given (an info without an image included), or a cancel. False when no
  // picker is frontmost or it has no delegate.
  bool pick(const std::shared_ptr<UIKit::UIImage>& image);
  bool pick(const std::map<std::string, Foundation::Any>& info);
  bool cancelPick();
  // Taps the button of the frontmost alert or sheet's action of that title.
  bool chooseAction(std::string_view title);

  // Reading.
  // The controller the user faces: up the presentations, into navigation tops and tabs.
  std::shared_ptr<UIKit::UIViewController> frontmost() const;
  // Of the frontmost controller, when it is an alert.
  std::optional<std::string> alertTitle() const;
  std::optional<std::string> alertMessage() const;
  // The texts a user sees on the frontmost controller's view, back to front: of views that
  // are not hidden, lie at least partly inside the window and every clipping view above
  // them; a control's own text, not again its title label's.
  std::vector<std::string> visibleTexts() const;
  // The views a user sees on the frontmost controller's view, by the same rule, back to front.
  std::vector<std::shared_ptr<UIKit::UIView>> visibleViews() const;
  // The frontmost of those with this accessibility identifier: where two screens hold views
  // of one name (pages side by side), the one the user faces.
  template <class V = UIKit::UIView>
  std::shared_ptr<V> findVisible(std::string_view identifier) const {
    const auto views = visibleViews();
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
      if ((*it)->accessibilityIdentifier() != identifier) continue;
      if (auto typed = std::dynamic_pointer_cast<V>(*it)) return typed;
    }
    return nullptr;
  }
  // A spinning activity indicator is visible in the window.
  bool isLoaderShowing() const;
  bool isKeyboardVisible() const;
  std::shared_ptr<UIKit::UIResponder> firstResponder() const;

  // Time. `advance` moves the manual clock (installing it if needed).
  void advance(Foundation::TimeInterval seconds);
  bool runUntil(const std::function<bool()>& condition, Foundation::TimeInterval realSeconds = 10);
  // Runs what the main queue holds now.
  void settle();

 private:
  // Visits what visibleTexts sees, back to front; `visit` answers whether to go into the view.
  void visitVisible(const std::function<bool(const std::shared_ptr<UIKit::UIView>&)>& visit) const;

  std::shared_ptr<UIKit::UIWindow> window_;
};

}  // namespace PlatformTesting
