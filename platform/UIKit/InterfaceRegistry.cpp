#include "UIKit/InterfaceRegistry.hpp"

#include "UIKit/UIActivityIndicatorView.hpp"
#include "UIKit/UIButton.hpp"
#include "UIKit/UICollectionView.hpp"
#include "UIKit/UIControl.hpp"
#include "UIKit/UIImageView.hpp"
#include "UIKit/UILabel.hpp"
#include "UIKit/UITableView.hpp"
#include "UIKit/UITextField.hpp"
#include "UIKit/UIView.hpp"
#include "UIKit/UIVisualEffectView.hpp"

namespace UIKit {

namespace {
template <class V>
InterfaceRegistry::Factory factory() {
  return [](CGRect frame) { return std::make_shared<V>(frame); };
}
}  // namespace

InterfaceRegistry& InterfaceRegistry::shared() {
  static auto* registry = new InterfaceRegistry;  // kit classes register from static init
  return *registry;
}

InterfaceRegistry::InterfaceRegistry() {
  factories_["UIView"] = factory<UIView>();
  factories_["UIControl"] = factory<UIControl>();
  factories_["UIButton"] = factory<UIButton>();
  factories_["UIScrollView"] = factory<UIScrollView>();
  factories_["UITableView"] = factory<UITableView>();
  factories_["UITableViewCell"] = factory<UITableViewCell>();
  factories_["UICollectionViewCell"] = factory<UICollectionViewCell>();
  factories_["UICollectionView"] = [](CGRect frame) {
    return std::make_shared<UICollectionView>(frame, nullptr);
  };
  factories_["UILabel"] = factory<UILabel>();
  factories_["UITextField"] = factory<UITextField>();
  factories_["UIImageView"] = factory<UIImageView>();
  factories_["UIActivityIndicatorView"] = factory<UIActivityIndicatorView>();
  factories_["UIVisualEffectView"] = [](CGRect frame) {
    auto view = std::make_shared<UIVisualEffectView>();
    view->setFrame(frame);
    return view;
  };
}

void InterfaceRegistry::registerClass(const std::string& name, Factory factory) {
  std::lock_guard lock(mutex_);
  factories_[name] = std::move(factory);
}

std::shared_ptr<UIView> InterfaceRegistry::make(std::string_view name, CGRect frame) const {
  Factory factory;
  {
    std::lock_guard lock(mutex_);
    auto it = factories_.find(name);
    if (it == factories_.end()) return nullptr;
    factory = it->second;
  }
  return factory(frame);  // outside the lock: a view may load a file of its own
}

bool InterfaceRegistry::knows(std::string_view name) const {
  std::lock_guard lock(mutex_);
  return factories_.contains(name);
}

}  // namespace UIKit
