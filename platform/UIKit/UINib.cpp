#include "UIKit/UINib.hpp"

#include <map>

#include <nlohmann/json.hpp>

#include "Foundation/Bundle.hpp"
#include "Foundation/JSONCoding.hpp"
#include "UIKit/InterfaceBinder.hpp"
#include "UIKit/InterfaceCoder.hpp"
#include "UIKit/InterfaceRegistry.hpp"
#include "UIKit/NSLayoutConstraint.hpp"
#include "UIKit/UIControl.hpp"
#include "UIKit/UIKitLog.hpp"
#include "UIKit/UILongPressGestureRecognizer.hpp"
#include "UIKit/UIPanGestureRecognizer.hpp"
#include "UIKit/UIPinchGestureRecognizer.hpp"
#include "UIKit/UIResponder.hpp"
#include "UIKit/UITapGestureRecognizer.hpp"
#include "UIKit/UIView.hpp"

namespace UIKit {

namespace {
std::optional<UIControl::Event> eventNamed(std::string_view name) {
  using E = UIControl::Event;
  static const std::pair<std::string_view, E> events[] = {
      {"touchDown", E::touchDown},
      {"touchUpInside", E::touchUpInside},
      {"touchUpOutside", E::touchUpOutside},
      {"touchCancel", E::touchCancel},
      {"valueChanged", E::valueChanged},
      {"primaryActionTriggered", E::primaryActionTriggered},
      {"editingDidBegin", E::editingDidBegin},
      {"editingChanged", E::editingChanged},
      {"editingDidEnd", E::editingDidEnd},
      {"editingDidEndOnExit", E::editingDidEndOnExit},
  };
  for (const auto& [n, e] : events) {
    if (n == name) return e;
  }
  return std::nullopt;
}

// The object's frame when it is well formed; the view's own decoding reports it otherwise.
CGRect frameOf(const nlohmann::json& object) {
  auto it = object.find("frame");
  if (it == object.end() || !it->is_array() || it->size() != 4) return {};
  for (const auto& v : *it) {
    if (!v.is_number()) return {};
  }
  return CGRect::make((*it)[0].get<double>(), (*it)[1].get<double>(), (*it)[2].get<double>(),
                      (*it)[3].get<double>());
}

struct PendingAction {
  std::shared_ptr<UIControl> control;
  UIControl::Event event;
  std::string selector;
};

struct PendingGesture {
  std::shared_ptr<UIGestureRecognizer> recognizer;
  std::string selector;
};

std::shared_ptr<UIGestureRecognizer> recognizerOf(const std::string& className) {
  if (className == "UITapGestureRecognizer") return std::make_shared<UITapGestureRecognizer>();
  if (className == "UILongPressGestureRecognizer")
    return std::make_shared<UILongPressGestureRecognizer>();
  if (className == "UIPanGestureRecognizer") return std::make_shared<UIPanGestureRecognizer>();
  if (className == "UIPinchGestureRecognizer") return std::make_shared<UIPinchGestureRecognizer>();
  return nullptr;
}

std::optional<NSLayoutConstraint::Attribute> attributeNamed(std::string_view name) {
  using A = NSLayoutConstraint::Attribute;
  static const std::pair<std::string_view, A> attributes[] = {
      {"left", A::left},       {"right", A::right},        {"top", A::top},
      {"bottom", A::bottom},   {"leading", A::leading},    {"trailing", A::trailing},
      {"width", A::width},     {"height", A::height},      {"centerX", A::centerX},
      {"centerY", A::centerY}, {"none", A::notAnAttribute}};
  for (const auto& [n, a] : attributes) {
    if (n == name) return a;
  }
  return std::nullopt;
}

class Builder {
 public:
  Builder(std::string file, std::shared_ptr<Foundation::Bundle> bundle, InterfaceBinder& binder)
      : file_(std::move(file)), bundle_(std::move(bundle)), binder_(binder) {}

  std::shared_ptr<UIView> build(const nlohmann::json& object, const std::string& where) {
    if (!object.is_object()) {
      report(where, "is not an object; skipped");
      return nullptr;
    }
    std::string className = "UIView";
    if (auto it = object.find("class"); it != object.end() && it->is_string()) {
      className = it->get<std::string>();
    } else {
      report(where, "has no \"class\"; made a UIView");
    }
    InterfaceCoder coder(object, file_, where + " (" + className + ")", bundle_);
    for (const char* key : {"class", "subviews", "actions", "gestureRecognizers"})
      coder.markRead(key);
    const CGRect frame = frameOf(object);
    auto view = InterfaceRegistry::shared().make(className, frame);
    if (!view) {
      report(where, "has the unknown class \"" + className + "\"; made a UIView");
      view = std::make_shared<UIView>(frame);
    }
    view->decodeInterface(coder);

    if (auto outlet = coder.decodeString("outlet")) {
      named_.emplace(*outlet, view);
      binder_.addOutlet(*outlet, view);
      if (!view->accessibilityIdentifier()) view->setAccessibilityIdentifier(*outlet);
    }
    if (auto collection = coder.decodeString("outletCollection"))
      binder_.addToCollection(*collection, view);

    if (auto it = object.find("subviews"); it != object.end()) {
      if (!it->is_array()) {
        coder.reportError("subviews", "expected a list");
      } else {
        for (std::size_t i = 0; i < it->size(); ++i) {
          if (auto child = build((*it)[i], where + ".subviews[" + std::to_string(i) + "]"))
            view->addSubview(child);
        }
      }
    }
    if (auto it = object.find("actions"); it != object.end()) readActions(*it, view, coder);
    if (auto it = object.find("gestureRecognizers"); it != object.end())
      readGestures(*it, view, coder);
    for (const auto& key : coder.unreadKeys()) coder.reportError(key, "unknown property; ignored");
    all_.push_back(view);
    return view;
  }

  std::vector<PendingAction>& actions() { return actions_; }
  std::vector<PendingGesture>& gestures() { return gestures_; }

  // {"outlet": ..., "firstItem": view outlet, "firstAttribute": "height", "secondItem": ...,
  //  "secondAttribute": ..., "multiplier": 1, "constant": 0, "active": true}
  void readConstraints(const nlohmann::json& list) {
    if (!list.is_array()) {
      report("\"constraints\"", "is not a list; ignored");
      return;
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
      const std::string where = "constraints[" + std::to_string(i) + "]";
      InterfaceCoder coder(list[i], file_, where, bundle_);
      auto item = [&](const char* key) -> std::shared_ptr<UIView> {
        auto name = coder.decodeString(key);
        if (!name) return nullptr;
        auto it = named_.find(*name);
        if (it == named_.end()) coder.reportError(key, "no view with outlet \"" + *name + "\"");
        return it == named_.end() ? nullptr : it->second;
      };
      auto attribute = [&](const char* key) {
        auto name = coder.decodeString(key);
        auto a = name ? attributeNamed(*name) : std::nullopt;
        if (name && !a) coder.reportError(key, "unknown attribute \"" + *name + "\"");
        return a.value_or(NSLayoutConstraint::Attribute::notAnAttribute);
      };
      auto first = item("firstItem");
      auto second = item("secondItem");
      const auto firstAttribute = attribute("firstAttribute");
      const auto secondAttribute = attribute("secondAttribute");
      const auto multiplier = coder.decodeNumber("multiplier").value_or(1);
      const auto constant = coder.decodeNumber("constant").value_or(0);
      auto constraint = std::make_shared<NSLayoutConstraint>(
          first, firstAttribute, NSLayoutConstraint::Relation::equal, second, secondAttribute,
          multiplier, constant);
      if (auto outlet = coder.decodeString("outlet")) binder_.addConstraint(*outlet, constraint);
      if (coder.decodeBool("active").value_or(true) && first) constraint->setActive(true);
      for (const auto& key : coder.unreadKeys())
        coder.reportError(key, "unknown property; ignored");
    }
  }
  const std::vector<std::shared_ptr<UIView>>& all() const { return all_; }

 private:
  void readActions(const nlohmann::json& list, const std::shared_ptr<UIView>& view,
                   InterfaceCoder& coder) {
    auto control = std::dynamic_pointer_cast<UIControl>(view);
    if (!control || !list.is_array()) {
      coder.reportError("actions", control ? "expected a list" : "only controls send actions");
      return;
    }
    for (const auto& entry : list) {
      const bool wellFormed = entry.is_object() && entry.contains("event") &&
                              entry["event"].is_string() && entry.contains("selector") &&
                              entry["selector"].is_string();
      if (!wellFormed) {
        coder.reportError("actions", "expected {\"event\": ..., \"selector\": ...}");
        continue;
      }
      auto event = eventNamed(entry["event"].get<std::string>());
      if (!event) {
        coder.reportError("actions", "unknown event \"" + entry["event"].get<std::string>() + "\"");
        continue;
      }
      actions_.push_back({control, *event, entry["selector"].get<std::string>()});
    }
  }

  // [{"class": "UITapGestureRecognizer", "selector": "didTap:", "numberOfTapsRequired": 2,
  //   "minimumPressDuration": 1, "cancelsTouchesInView": false}]
  void readGestures(const nlohmann::json& list, const std::shared_ptr<UIView>& view,
                    InterfaceCoder& viewCoder) {
    if (!list.is_array()) {
      viewCoder.reportError("gestureRecognizers", "expected a list");
      return;
    }
    for (const auto& entry : list) {
      InterfaceCoder coder(entry, file_, "a gesture recognizer of " + view->className(), bundle_);
      auto className = coder.decodeString("class").value_or("");
      auto recognizer = recognizerOf(className);
      if (!recognizer) {
        viewCoder.reportError("gestureRecognizers", "unknown class \"" + className + "\"");
        continue;
      }
      if (auto taps = coder.decodeNumber("numberOfTapsRequired")) {
        if (auto* tap = dynamic_cast<UITapGestureRecognizer*>(recognizer.get()))
          tap->setNumberOfTapsRequired(static_cast<int>(*taps));
      }
      if (auto duration = coder.decodeNumber("minimumPressDuration")) {
        if (auto* press = dynamic_cast<UILongPressGestureRecognizer*>(recognizer.get()))
          press->setMinimumPressDuration(*duration);
      }
      if (auto cancels = coder.decodeBool("cancelsTouchesInView"))
        recognizer->setCancelsTouchesInView(*cancels);
      if (auto enabled = coder.decodeBool("enabled")) recognizer->setEnabled(*enabled);
      if (auto selector = coder.decodeString("selector"))
        gestures_.push_back({recognizer, *selector});
      for (const auto& key : coder.unreadKeys())
        coder.reportError(key, "unknown property; ignored");
      view->addGestureRecognizer(recognizer);
    }
  }

  void report(const std::string& where, const std::string& problem) {
    uikitLog("interface file \"" + file_ + "\", " + where + " " + problem);
  }

  std::string file_;
  std::shared_ptr<Foundation::Bundle> bundle_;
  InterfaceBinder& binder_;
  std::vector<PendingAction> actions_;
  std::vector<PendingGesture> gestures_;
  std::map<std::string, std::shared_ptr<UIView>> named_;
  std::vector<std::shared_ptr<UIView>> all_;
};
}  // namespace

UINib::UINib(std::string name, std::shared_ptr<Foundation::Bundle> bundle)
    : name_(std::move(name)), bundle_(std::move(bundle)) {}

std::vector<std::shared_ptr<UIView>> UINib::instantiate(
    UIResponder* owner, const std::function<void(InterfaceBinder&)>& alsoBind) const {
  return build([owner](const auto&) { return owner; }, alsoBind);
}

std::shared_ptr<UIView> UINib::instantiateFirstAsOwner() const {
  auto top = build(
      [](const std::vector<std::shared_ptr<UIView>>& views) -> UIResponder* {
        return views.empty() ? nullptr : views.front().get();
      },
      nullptr);
  if (top.empty()) {
    uikitLog("interface file \"" + name_ + "\" has no view to own it");
    return nullptr;
  }
  return top.front();
}

std::vector<std::shared_ptr<UIView>> UINib::build(
    const std::function<UIResponder*(const std::vector<std::shared_ptr<UIView>>&)>& ownerOf,
    const std::function<void(InterfaceBinder&)>& alsoBind) const {
  const auto& bundle = bundle_ ? bundle_ : Foundation::Bundle::main();
  const auto root = readInterfaceResource(bundle, name_, "json", "objects", "interface file");
  if (root.is_null()) return {};

  InterfaceBinder binder(name_);
  Builder builder(name_, bundle, binder);
  std::vector<std::shared_ptr<UIView>> top;
  const auto& objects = root["objects"];
  for (std::size_t i = 0; i < objects.size(); ++i) {
    if (auto view = builder.build(objects[i], "objects[" + std::to_string(i) + "]"))
      top.push_back(view);
  }

  if (auto it = root.find("constraints"); it != root.end()) builder.readConstraints(*it);
  UIResponder* owner = ownerOf(top);
  if (alsoBind) alsoBind(binder);
  if (owner) owner->bindInterface(binder);
  const std::weak_ptr<void> target =
      owner ? std::weak_ptr<void>(owner->weak_from_this()) : std::weak_ptr<void>();
  if ((!builder.actions().empty() || !builder.gestures().empty()) && target.expired()) {
    uikitLog("interface file \"" + name_ +
             "\": its owner is not held by a shared_ptr yet; actions are not connected");
  } else {
    for (auto& pending : builder.actions()) {
      if (const auto* action = binder.findAction(pending.selector))
        pending.control->addTarget(target, *action, pending.event);
    }
    for (auto& pending : builder.gestures()) {
      if (const auto* action = binder.findGestureAction(pending.selector))
        pending.recognizer->addTarget(target, *action);
    }
  }
  binder.reportUnused();
  for (const auto& view : builder.all()) view->awakeFromNib();
  return top;
}

}  // namespace UIKit
