#include "UIKit/InterfaceBinder.hpp"

#include "UIKit/UIKitLog.hpp"
#include "UIKit/UIView.hpp"

namespace UIKit {

void InterfaceBinder::action(std::string_view selector, Action action) {
  if (action) actions_[std::string(selector)] = std::move(action);
}

void InterfaceBinder::gestureAction(std::string_view selector, GestureAction action) {
  if (action) gestureActions_[std::string(selector)] = std::move(action);
}

void InterfaceBinder::outlet(std::string_view name, std::shared_ptr<NSLayoutConstraint>& slot) {
  auto it = constraints_.find(name);
  if (it == constraints_.end()) {
    reportMissing(name, "constraint outlet");
    return;
  }
  used_.emplace(name);
  slot = it->second;
}

void InterfaceBinder::addConstraint(const std::string& name,
                                    std::shared_ptr<NSLayoutConstraint> constraint) {
  if (outlets_.contains(name) || constraints_.contains(name)) {
    uikitLog("interface file \"" + fileName_ + "\": outlet \"" + name +
             "\" is named twice; the first one is used");
    return;
  }
  constraints_[name] = std::move(constraint);
}

const InterfaceBinder::GestureAction* InterfaceBinder::findGestureAction(
    std::string_view selector) {
  auto it = gestureActions_.find(selector);
  if (it == gestureActions_.end()) {
    uikitLog("interface file \"" + fileName_ + "\": the owner has no gesture action \"" +
             std::string(selector) + "\"");
    return nullptr;
  }
  return &it->second;
}

void InterfaceBinder::addOutlet(const std::string& name, std::shared_ptr<UIView> view) {
  if (outlets_.contains(name)) {
    uikitLog("interface file \"" + fileName_ + "\": outlet \"" + name +
             "\" is named twice; the first one is used");
    return;
  }
  outlets_[name] = std::move(view);
}

void InterfaceBinder::addToCollection(const std::string& name, std::shared_ptr<UIView> view) {
  collections_[name].push_back(std::move(view));
}

std::shared_ptr<UIView> InterfaceBinder::lookup(std::string_view name) {
  auto it = outlets_.find(name);
  if (it == outlets_.end()) {
    reportMissing(name, "outlet");
    return nullptr;
  }
  used_.emplace(name);
  return it->second;
}

const InterfaceBinder::Action* InterfaceBinder::findAction(std::string_view selector) {
  auto it = actions_.find(selector);
  if (it == actions_.end()) {
    uikitLog("interface file \"" + fileName_ + "\": the owner has no action \"" +
             std::string(selector) + "\"");
    return nullptr;
  }
  return &it->second;
}

void InterfaceBinder::reportMissing(std::string_view name, std::string_view kind) const {
  uikitLog("interface file \"" + fileName_ + "\": no " + std::string(kind) + " named \"" +
           std::string(name) + "\"");
}

void InterfaceBinder::reportMismatch(std::string_view name, const UIView& view) const {
  uikitLog("interface file \"" + fileName_ + "\": outlet \"" + std::string(name) + "\" is a " +
           view.className() + ", not what its owner expects");
}

void InterfaceBinder::reportUnused() const {
  for (const auto& [name, view] : outlets_) {
    if (!used_.contains(name))
      uikitLog("interface file \"" + fileName_ + "\": its owner has no outlet \"" + name + "\"");
  }
  for (const auto& [name, constraint] : constraints_) {
    if (!used_.contains(name))
      uikitLog("interface file \"" + fileName_ + "\": its owner has no constraint outlet \"" +
               name + "\"");
  }
  for (const auto& [name, views] : collections_) {
    if (!used_.contains(name))
      uikitLog("interface file \"" + fileName_ + "\": its owner has no outlet collection \"" +
               name + "\"");
  }
}

}  // namespace UIKit
