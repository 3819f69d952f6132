#include "ZTNetworkCore/ZTUrlEncodedQuery.hpp"

#include <algorithm>

#include <Foundation/CharacterSet.hpp>

namespace ZentrelSDK {

namespace {

// Every text in the body, keys included, must be UTF-8 before it can go out.
bool allTextIsUTF8(const nlohmann::json& value) {
  if (value.is_string()) return Foundation::isValidUTF8(value.get_ref<const std::string&>());
  if (value.is_object()) {
    for (const auto& [key, item] : value.items()) {
      if (!Foundation::isValidUTF8(key) || !allTextIsUTF8(item)) return false;
    }
  } else if (value.is_array()) {
    for (const auto& item : value) {
      if (!allTextIsUTF8(item)) return false;
    }
  }
  return true;
}

}  // namespace

Foundation::Result<Foundation::Data, ZTNetworkError> ZTUrlEncodedQuery::createRequest(
    const nlohmann::json& json) {
  if (!json.is_object() || !allTextIsUTF8(json)) {
    return Foundation::failure(ZTNetworkError::cannotEncodeParameters());
  }
  return Foundation::success(Foundation::dataFromString(query(json)));
}

std::string ZTUrlEncodedQuery::query(const nlohmann::json& parameters) {
  std::vector<std::string> keys;
  keys.reserve(parameters.size());
  for (const auto& [key, value] : parameters.items()) keys.push_back(key);
  std::sort(keys.begin(), keys.end());

  Pairs components;
  for (const auto& key : keys) queryComponents(key, parameters.at(key), components);

  std::string text;
  for (const auto& [name, value] : components) {
    if (!text.empty()) text += '&';
    text += name;
    text += '=';
    text += value;
  }
  return text;
}

void ZTUrlEncodedQuery::queryComponents(const std::string& key, const nlohmann::json& value,
                                        Pairs& out) {
  if (value.is_object()) {
    for (const auto& [nestedKey, nestedValue] : value.items()) {
      queryComponents(key + "[" + nestedKey + "]", nestedValue, out);
    }
  } else if (value.is_array()) {
    for (const auto& element : value) {
      queryComponents(encodeArray(key, ArrayTypeEncoding::brackets), element, out);
    }
  } else if (value.is_boolean()) {
    out.emplace_back(escape(key), escape(encodeBool(value.get<bool>(), BoolType::numeric)));
  } else if (value.is_string()) {
    out.emplace_back(escape(key), escape(value.get_ref<const std::string&>()));
  } else if (value.is_null()) {
    out.emplace_back(escape(key), escape("null"));
  } else {
    // Numbers in their shortest round-trip form: 42, -3, 0.5.
    out.emplace_back(escape(key), escape(value.dump()));
  }
}

std::string ZTUrlEncodedQuery::encodeArray(const std::string& key, ArrayTypeEncoding type) {
  return type == ArrayTypeEncoding::brackets ? key + "[]" : key;
}

std::string ZTUrlEncodedQuery::encodeBool(bool value, BoolType type) {
  if (type == BoolType::numeric) return value ? "1" : "0";
  return value ? "true" : "false";
}

std::string ZTUrlEncodedQuery::escape(const std::string& text) {
  static const Foundation::CharacterSet allowed =
      Foundation::CharacterSet::urlQueryAllowed().subtracting(":#[]@!$&'()*+,;=");
  return Foundation::addingPercentEncoding(text, allowed);
}

}  // namespace ZentrelSDK
