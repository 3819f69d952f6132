#include "UIKit/NSLayoutConstraint.hpp"

#include "UIKit/UIKitLog.hpp"
#include "UIKit/UIView.hpp"

namespace UIKit {

namespace {
std::shared_ptr<UIView> commonAncestor(const std::shared_ptr<UIView>& a,
                                       const std::shared_ptr<UIView>& b) {
  if (!a) return b;
  if (!b) return a;
  for (auto v = a; v; v = v->superview()) {
    if (b->isDescendant(*v)) return v;
  }
  return nullptr;
}
}  // namespace

NSLayoutConstraint::NSLayoutConstraint(const std::shared_ptr<UIView>& firstItem,
                                       Attribute firstAttribute, Relation relation,
                                       const std::shared_ptr<UIView>& secondItem,
                                       Attribute secondAttribute, CGFloat multiplier,
                                       CGFloat constant)
    : first_(firstItem),
      second_(secondItem),
      firstAttribute_(firstAttribute),
      secondAttribute_(secondAttribute),
      relation_(relation),
      multiplier_(multiplier),
      constant_(constant) {}

bool NSLayoutConstraint::isActive() const {
  return installedOn_.lock() != nullptr;
}

void NSLayoutConstraint::setActive(bool active) {
  if (active == isActive()) return;
  auto self = shared_from_this();
  if (!active) {
    if (auto view = installedOn_.lock()) view->removeConstraint(self);
    return;
  }
  auto first = first_.lock();
  auto second = second_.lock();
  auto host = first ? commonAncestor(first, second) : nullptr;
  if (!host) {
    uikitLog("Unable to activate constraint: its items have no common ancestor.");
    return;
  }
  host->addConstraint(self);
}

void NSLayoutConstraint::activate(
    const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints) {
  for (const auto& c : constraints) {
    if (c) c->setActive(true);
  }
}

void NSLayoutConstraint::deactivate(
    const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints) {
  for (const auto& c : constraints) {
    if (c) c->setActive(false);
  }
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchorBase::make(const NSLayoutAnchorBase& other,
                                                             NSLayoutConstraint::Relation relation,
                                                             CGFloat constant) const {
  return std::make_shared<NSLayoutConstraint>(item(), attribute_, relation, other.item(),
                                              other.attribute_, 1, constant);
}

}  // namespace UIKit
