#include "UIKit/InterfaceCoder.hpp"

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "Foundation/Bundle.hpp"
#include "Foundation/JSONCoding.hpp"

#include "UIKit/UIImage.hpp"
#include "UIKit/UIKitLog.hpp"

namespace UIKit {

nlohmann::json readInterfaceResource(const std::shared_ptr<Foundation::Bundle>& bundle,
                                     const std::string& name, const std::string& extension,
                                     const std::string& listKey, const std::string& kind) {
  const auto path = bundle ? bundle->pathForResource(name, extension) : std::nullopt;
  if (!path) {
    uikitLog("could not load the " + kind + " \"" + name + "\" from the bundle at " +
             (bundle ? bundle->bundlePath() : std::string("(none)")));
    return nullptr;
  }
  std::ifstream in(*path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  // Views nest as deeply as the file does: parsing bounds that depth.
  const auto parsed = Foundation::parseJSON(text.str());
  if (!parsed.isSuccess()) {
    uikitLog(kind + " \"" + name + "\" is not valid: expected {\"" + listKey + "\": [...]}");
    return nullptr;
  }
  auto root = parsed.value();
  if (!root.is_object() || !root.contains(listKey) || !root[listKey].is_array()) {
    uikitLog(kind + " \"" + name + "\" is not valid: expected {\"" + listKey + "\": [...]}");
    return nullptr;
  }
  return root;
}

InterfaceCoder::InterfaceCoder(const nlohmann::json& object, std::string fileName,
                               std::string objectName, std::shared_ptr<Foundation::Bundle> bundle)
    : object_(object),
      fileName_(std::move(fileName)),
      objectName_(std::move(objectName)),
      bundle_(std::move(bundle)) {}

bool InterfaceCoder::contains(std::string_view key) const {
  return object_.is_object() && object_.contains(key);
}

const nlohmann::json* InterfaceCoder::find(std::string_view key) {
  if (!object_.is_object()) return nullptr;
  auto it = object_.find(key);
  if (it == object_.end()) return nullptr;
  read_.emplace(key);
  return &*it;
}

void InterfaceCoder::markRead(std::string_view key) {
  read_.emplace(key);
}

void InterfaceCoder::reportError(std::string_view key, std::string_view problem) const {
  uikitLog("interface file \"" + fileName_ + "\", " + objectName_ + ", \"" + std::string(key) +
           "\": " + std::string(problem));
}

std::vector<std::string> InterfaceCoder::unreadKeys() const {
  std::vector<std::string> keys;
  if (!object_.is_object()) return keys;
  for (const auto& [key, value] : object_.items()) {
    if (!read_.contains(key)) keys.push_back(key);
  }
  return keys;
}

std::optional<std::string> InterfaceCoder::decodeString(std::string_view key) {
  const auto* value = find(key);
  if (!value) return std::nullopt;
  if (!value->is_string()) {
    reportError(key, "expected a text");
    return std::nullopt;
  }
  return value->get<std::string>();
}

std::optional<double> InterfaceCoder::decodeNumber(std::string_view key) {
  const auto* value = find(key);
  if (!value) return std::nullopt;
  if (!value->is_number()) {
    reportError(key, "expected a number");
    return std::nullopt;
  }
  return value->get<double>();
}

std::optional<bool> InterfaceCoder::decodeBool(std::string_view key) {
  const auto* value = find(key);
  if (!value) return std::nullopt;
  if (!value->is_boolean()) {
    reportError(key, "expected true or false");
    return std::nullopt;
  }
  return value->get<bool>();
}

std::optional<CGRect> InterfaceCoder::decodeRect(std::string_view key) {
  const auto* value = find(key);
  if (!value) return std::nullopt;
  if (!value->is_array() || value->size() != 4 ||
      !std::all_of(value->begin(), value->end(), [](const auto& v) { return v.is_number(); })) {
    reportError(key, "expected [x, y, width, height]");
    return std::nullopt;
  }
  return CGRect::make((*value)[0].get<double>(), (*value)[1].get<double>(),
                      (*value)[2].get<double>(), (*value)[3].get<double>());
}

std::optional<CGPoint> InterfaceCoder::decodePoint(std::string_view key) {
  const auto* value = find(key);
  if (!value) return std::nullopt;
  if (!value->is_array() || value->size() != 2 || !(*value)[0].is_number() ||
      !(*value)[1].is_number()) {
    reportError(key, "expected [x, y]");
    return std::nullopt;
  }
  return CGPoint{(*value)[0].get<double>(), (*value)[1].get<double>()};
}

std::optional<UIColor> InterfaceCoder::decodeColor(std::string_view key) {
  const auto* value = find(key);
  if (!value) return std::nullopt;
  std::optional<UIColor> color;
  if (value->is_string()) color = UIColor::fromText(value->get<std::string>());
  if (!color) reportError(key, "expected a colour (\"#RRGGBB\", \"#RRGGBBAA\" or a name)");
  return color;
}

std::optional<UIFont> InterfaceCoder::decodeFont(std::string_view key) {
  const auto* value = find(key);
  if (!value) return std::nullopt;
  if (!value->is_object() || !value->contains("size") || !(*value)["size"].is_number()) {
    reportError(key, "expected {\"size\": number, \"weight\": ..., \"name\": ...}");
    return std::nullopt;
  }
  const double size = (*value)["size"].get<double>();
  CGFloat weight = UIFont::Weight::regular;
  if (value->contains("weight")) {
    const auto& w = (*value)["weight"];
    static const std::pair<std::string_view, CGFloat> names[] = {
        {"ultraLight", UIFont::Weight::ultraLight},
        {"thin", UIFont::Weight::thin},
        {"light", UIFont::Weight::light},
        {"regular", UIFont::Weight::regular},
        {"medium", UIFont::Weight::medium},
        {"semibold", UIFont::Weight::semibold},
        {"bold", UIFont::Weight::bold},
        {"heavy", UIFont::Weight::heavy},
        {"black", UIFont::Weight::black}};
    bool known = false;
    if (w.is_number()) {
      weight = w.get<double>();
      known = true;
    } else if (w.is_string()) {
      for (const auto& [name, v] : names) {
        if (w.get<std::string>() == name) {
          weight = v;
          known = true;
        }
      }
    }
    if (!known) reportError(key, "unknown font weight");
  }
  if (value->contains("name") && (*value)["name"].is_string())
    return UIFont((*value)["name"].get<std::string>(), size, weight);
  return UIFont::systemFont(size, weight);
}

std::optional<std::vector<std::string>> InterfaceCoder::decodeStrings(std::string_view key) {
  const auto* value = find(key);
  if (!value) return std::nullopt;
  if (!value->is_array() ||
      !std::all_of(value->begin(), value->end(), [](const auto& v) { return v.is_string(); })) {
    reportError(key, "expected a list of texts");
    return std::nullopt;
  }
  return value->get<std::vector<std::string>>();
}

std::shared_ptr<UIImage> InterfaceCoder::decodeImage(std::string_view key) {
  auto name = decodeString(key);
  if (!name) return nullptr;
  auto image = UIImage::named(*name, bundle_);
  if (!image) reportError(key, "no image named \"" + *name + "\" in the bundle");
  return image;
}

}  // namespace UIKit
