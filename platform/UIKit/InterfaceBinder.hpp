#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace UIKit {

class NSLayoutConstraint;
class UIControl;
class UIGestureRecognizer;
class UIView;

// Connects an interface file's named objects to its owner, which asks for each by name in
// its `bindInterface`. An outlet the file lacks, or of another class, is reported with the
// file and the name and leaves the slot as it was; so does an action the file names that
// the owner does not offer.
class InterfaceBinder {
 public:
  using Action = std::function<void(UIControl& sender)>;
  using GestureAction = std::function<void(UIGestureRecognizer& sender)>;

  explicit InterfaceBinder(std::string fileName) : fileName_(std::move(fileName)) {}

  // The owner's side.
  template <class V>
  void outlet(std::string_view name, std::weak_ptr<V>& slot) {
    if (auto view = typed<V>(name)) slot = view;
  }
  // Strong outlets, for objects nothing else keeps (constraints, a controller's view).
  template <class V>
  void outlet(std::string_view name, std::shared_ptr<V>& slot) {
    if (auto view = typed<V>(name)) slot = view;
  }
  // The objects of an outlet collection, in file order.
  template <class V>
  void outletCollection(std::string_view name, std::vector<std::weak_ptr<V>>& slots) {
    auto it = collections_.find(name);
    if (it == collections_.end()) {
      reportMissing(name, "outlet collection");
      return;
    }
    used_.emplace(name);
    slots.clear();
    for (const auto& view : it->second) {
      if (auto v = std::dynamic_pointer_cast<V>(view)) {
        slots.push_back(v);
      } else {
        reportMismatch(name, *view);
      }
    }
  }
  // Constraint outlets are strong: the owner keeps them to change later.
  void outlet(std::string_view name, std::shared_ptr<NSLayoutConstraint>& slot);
  // Offers an action under its selector ("goToNextStep:"); it is sent while the owner lives.
  void action(std::string_view selector, Action action);
  // The same for gesture recognizers of the file.
  void gestureAction(std::string_view selector, GestureAction action);

  // The loader's side.
  void addOutlet(const std::string& name, std::shared_ptr<UIView> view);
  void addToCollection(const std::string& name, std::shared_ptr<UIView> view);
  void addConstraint(const std::string& name, std::shared_ptr<NSLayoutConstraint> constraint);
  // Null (reported) when the owner offered no such action.
  const Action* findAction(std::string_view selector);
  const GestureAction* findGestureAction(std::string_view selector);
  // Reports the file's outlets that the owner did not ask for.
  void reportUnused() const;

 private:
  template <class V>
  std::shared_ptr<V> typed(std::string_view name) {
    auto view = lookup(name);
    if (!view) return nullptr;
    auto typedView = std::dynamic_pointer_cast<V>(view);
    if (!typedView) reportMismatch(name, *view);
    return typedView;
  }
  std::shared_ptr<UIView> lookup(std::string_view name);
  void reportMissing(std::string_view name, std::string_view kind) const;
  void reportMismatch(std::string_view name, const UIView& view) const;

  std::string fileName_;
  std::map<std::string, std::shared_ptr<UIView>, std::less<>> outlets_;
  std::map<std::string, std::vector<std::shared_ptr<UIView>>, std::less<>> collections_;
  std::map<std::string, std::shared_ptr<NSLayoutConstraint>, std::less<>> constraints_;
  std::map<std::string, Action, std::less<>> actions_;
  std::map<std::string, GestureAction, std::less<>> gestureActions_;
  std::set<std::string, std::less<>> used_;
};

}  // namespace UIKit
