#pragma once

#include <memory>
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"

namespace UIKit {

class UIView;

// A relation between two views' attributes. Recorded, never solved: activating installs it
// on the items' nearest common ancestor, where layout code and tests can read it back.
// Items are held weakly; an active constraint is owned by the view it is installed on.
class NSLayoutConstraint : public std::enable_shared_from_this<NSLayoutConstraint> {
 public:
  // The platform's raw values.
  enum class Attribute {
    notAnAttribute = 0,
    left = 1,
    right = 2,
    top = 3,
    bottom = 4,
    leading = 5,
    trailing = 6,
    width = 7,
    height = 8,
    centerX = 9,
    centerY = 10,
  };
  enum class Relation { lessThanOrEqual = -1, equal = 0, greaterThanOrEqual = 1 };

  // Swift `init(item:attribute:relatedBy:toItem:attribute:multiplier:constant:)`.
  NSLayoutConstraint(const std::shared_ptr<UIView>& firstItem, Attribute firstAttribute,
                     Relation relation, const std::shared_ptr<UIView>& secondItem,
                     Attribute secondAttribute, CGFloat multiplier = 1, CGFloat constant = 0);

  std::shared_ptr<UIView> firstItem() const { return first_.lock(); }
  std::shared_ptr<UIView> secondItem() const { return second_.lock(); }
  Attribute firstAttribute() const { return firstAttribute_; }
  Attribute secondAttribute() const { return secondAttribute_; }
  Relation relation() const { return relation_; }
  CGFloat multiplier() const { return multiplier_; }
  CGFloat constant() const { return constant_; }
  void setConstant(CGFloat constant) { constant_ = constant; }

  // False once the view it was installed on has gone.
  bool isActive() const;
  // Activating items without a common ancestor is logged and leaves it inactive (the
  // platform raises there).
  void setActive(bool active);
  static void activate(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints);
  static void deactivate(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints);

 private:
  friend class UIView;
  std::weak_ptr<UIView> first_;
  std::weak_ptr<UIView> second_;
  Attribute firstAttribute_;
  Attribute secondAttribute_;
  Relation relation_;
  CGFloat multiplier_;
  CGFloat constant_;
  std::weak_ptr<UIView> installedOn_;
};

// Swift's layout anchors, as far as the kit uses them.
class NSLayoutAnchorBase {
 public:
  std::shared_ptr<UIView> item() const { return view_.lock(); }
  NSLayoutConstraint::Attribute attribute() const { return attribute_; }

 protected:
  NSLayoutAnchorBase(std::weak_ptr<UIView> view, NSLayoutConstraint::Attribute attribute)
      : view_(std::move(view)), attribute_(attribute) {}
  std::shared_ptr<NSLayoutConstraint> make(const NSLayoutAnchorBase& other,
                                           NSLayoutConstraint::Relation relation,
                                           CGFloat constant) const;

 private:
  std::weak_ptr<UIView> view_;
  NSLayoutConstraint::Attribute attribute_;
};

template <class Self>
class NSLayoutAnchor : public NSLayoutAnchorBase {
 public:
  using NSLayoutAnchorBase::NSLayoutAnchorBase;
  // Inactive until activated, as on the platform.
  std::shared_ptr<NSLayoutConstraint> constraint(const Self& equalTo, CGFloat constant = 0) const {
    return make(equalTo, NSLayoutConstraint::Relation::equal, constant);
  }
};

class NSLayoutXAxisAnchor : public NSLayoutAnchor<NSLayoutXAxisAnchor> {
  using NSLayoutAnchor::NSLayoutAnchor;
  friend class UIView;
};

class NSLayoutYAxisAnchor : public NSLayoutAnchor<NSLayoutYAxisAnchor> {
  using NSLayoutAnchor::NSLayoutAnchor;
  friend class UIView;
};

}  // namespace UIKit
