#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Foundation {
class Bundle;
}  // namespace Foundation

namespace UIKit {

class InterfaceBinder;
class UIResponder;
class UIView;

// An interface file: "<name>.json" in a bundle.
//   {"owner": "ClassName",
//    "objects": [{"class": "UIView", "outlet": "view", "frame": [...], "subviews": [...],
//                 "outletCollection": "...", "actions": [{"event": "touchUpInside",
//                 "selector": "goToNextStep:"}], ...properties...}]}
// Objects are made through the InterfaceRegistry by class name; an object with an outlet is
// also findable by that name as its accessibility identifier.
class UINib {
 public:
  // A null bundle means the main one.
  UINib(std::string name, std::shared_ptr<Foundation::Bundle> bundle);

  const std::string& name() const { return name_; }

  // Builds the file's objects and connects them to `owner` (which may be null): `alsoBind`
  // first (how a controller takes its "view"), then the owner's `bindInterface`; actions go
  // to the owner and are sent while it lives. Then every object gets `awakeFromNib`.
  // Returns the top-level views. A missing or malformed file is reported and yields none;
  // an unknown class is reported and made a plain view.
  std::vector<std::shared_ptr<UIView>> instantiate(
      UIResponder* owner, const std::function<void(InterfaceBinder&)>& alsoBind = nullptr) const;
  // For a file whose first object is its own owner (a cell): that view is bound and gets the
  // actions. Null (reported) when the file yields no view.
  std::shared_ptr<UIView> instantiateFirstAsOwner() const;

 private:
  // `owner` picks the owner once the top-level views are built.
  std::vector<std::shared_ptr<UIView>> build(
      const std::function<UIResponder*(const std::vector<std::shared_ptr<UIView>>&)>& owner,
      const std::function<void(InterfaceBinder&)>& alsoBind) const;

  std::string name_;
  std::shared_ptr<Foundation::Bundle> bundle_;
};

}  // namespace UIKit
