#include "UIKit/UIStoryboard.hpp"

#include <map>
#include <mutex>

#include <nlohmann/json.hpp>

#include "Foundation/Bundle.hpp"
#include "UIKit/InterfaceCoder.hpp"
#include "UIKit/UIKitLog.hpp"
#include "UIKit/UIViewController.hpp"

namespace UIKit {

namespace {
struct Registry {
  std::mutex mutex;
  std::map<std::string, UIStoryboard::Factory, std::less<>> factories{
      {"UIViewController",
       [](std::optional<std::string> nib, std::shared_ptr<Foundation::Bundle> bundle) {
         return std::make_shared<UIViewController>(std::move(nib), std::move(bundle));
       }}};
};

Registry& registry() {
  static auto* r = new Registry;  // classes register from static initialisers
  return *r;
}
}  // namespace

UIStoryboard::UIStoryboard(std::string name, std::shared_ptr<Foundation::Bundle> bundle)
    : name_(std::move(name)), bundle_(std::move(bundle)) {}

void UIStoryboard::registerClass(const std::string& name, Factory factory) {
  auto& r = registry();
  std::lock_guard lock(r.mutex);
  r.factories[name] = std::move(factory);
}

std::shared_ptr<UIViewController> UIStoryboard::instantiateViewController(
    const std::string& identifier) const {
  const auto& bundle = bundle_ ? bundle_ : Foundation::Bundle::main();
  const auto root = readInterfaceResource(bundle, name_, "storyboard", "scenes", "storyboard");
  if (root.is_null()) return nullptr;
  std::string wanted = identifier;
  if (identifier.empty()) {  // the initial one
    auto it = root.find("initialViewController");
    if (it == root.end() || !it->is_string()) {
      uikitLog("storyboard \"" + name_ + "\" names no initial view controller");
      return nullptr;
    }
    wanted = it->get<std::string>();
  }
  for (const auto& scene : root["scenes"]) {
    if (!scene.is_object() || scene.value("identifier", std::string()) != wanted) continue;
    const auto className = scene.value("class", std::string("UIViewController"));
    std::optional<std::string> nib;
    if (auto it = scene.find("nibName"); it != scene.end() && it->is_string())
      nib = it->get<std::string>();
    Factory factory;
    {
      auto& r = registry();
      std::lock_guard lock(r.mutex);
      if (auto f = r.factories.find(className); f != r.factories.end()) factory = f->second;
    }
    if (!factory) {
      uikitLog("storyboard \"" + name_ + "\": unknown view controller class \"" + className +
               "\" for \"" + wanted + "\"");
      return nullptr;
    }
    return factory(std::move(nib), bundle);
  }
  uikitLog("storyboard \"" + name_ + "\" doesn't contain a view controller with identifier \"" +
           wanted + "\"");
  return nullptr;
}

std::shared_ptr<UIViewController> UIStoryboard::instantiateInitialViewController() const {
  return instantiateViewController("");
}

}  // namespace UIKit
