#include "Foundation/JSONCoding.hpp"

namespace Foundation {

namespace {

bool isAlnum(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         static_cast<unsigned char>(c) >= 0x80;
}
char lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string lowercased(std::string_view s) {
  std::string out(s);
  for (auto& c : out) c = lower(c);
  return out;
}

// String.capitalized: each word's first character upper-cased, the rest lower-cased; a word
// starts after any character that is not a letter or digit.
std::string capitalized(std::string_view s) {
  std::string out(s);
  bool wordStart = true;
  for (auto& c : out) {
    c = wordStart ? upper(c) : lower(c);
    wordStart = !isAlnum(c);
  }
  return out;
}

}  // namespace

std::string convertFromSnakeCase(std::string_view key) {
  const auto first = key.find_first_not_of('_');
  if (first == std::string_view::npos) return std::string(key);  // empty or only underscores
  const auto last = key.find_last_not_of('_');
  const auto core = key.substr(first, last - first + 1);

  std::vector<std::string_view> parts;
  for (std::size_t start = 0; start <= core.size();) {
    auto end = core.find('_', start);
    if (end == std::string_view::npos) end = core.size();
    if (end > start) parts.push_back(core.substr(start, end - start));
    start = end + 1;
  }
  std::string joined;
  if (parts.size() == 1) {
    joined = std::string(core);  // no inner underscore: maybe camel case already
  } else {
    joined = lowercased(parts.front());
    for (std::size_t i = 1; i < parts.size(); ++i) joined += capitalized(parts[i]);
  }
  return std::string(key.substr(0, first)) + joined + std::string(key.substr(last + 1));
}

nlohmann::json convertingKeysFromSnakeCase(const nlohmann::json& value) {
  if (value.is_object()) {
    nlohmann::json out = nlohmann::json::object();
    for (const auto& [key, item] : value.items()) {
      auto converted = convertFromSnakeCase(key);
      if (!out.contains(converted)) out[std::move(converted)] = convertingKeysFromSnakeCase(item);
    }
    return out;
  }
  if (value.is_array()) {
    nlohmann::json out = nlohmann::json::array();
    for (const auto& item : value) out.push_back(convertingKeysFromSnakeCase(item));
    return out;
  }
  return value;
}

Result<nlohmann::json, DecodingError> parseJSON(std::string_view text) {
  auto json = nlohmann::json::parse(text, nullptr, false);
  if (json.is_discarded())
    return failure(DecodingError::dataCorrupted("The given data was not valid JSON."));
  return success(std::move(json));
}

Result<nlohmann::json, DecodingError> parseJSON(Bytes data) {
  return parseJSON(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
}

std::string jsonTypeDescription(const nlohmann::json& value) {
  switch (value.type()) {
    case nlohmann::json::value_t::string:
      return "a string";
    case nlohmann::json::value_t::number_integer:
    case nlohmann::json::value_t::number_unsigned:
    case nlohmann::json::value_t::number_float:
      return "number";
    case nlohmann::json::value_t::boolean:
      return "bool";
    case nlohmann::json::value_t::null:
      return "null";
    case nlohmann::json::value_t::object:
      return "a dictionary";
    case nlohmann::json::value_t::array:
      return "an array";
    case nlohmann::json::value_t::binary:
      return "data";
    case nlohmann::json::value_t::discarded:
      break;
  }
  return "an invalid value";
}

KeyedDecodingContainer::KeyedDecodingContainer(const nlohmann::json& object) : object_(&object) {
  if (!object.is_object())
    error_ = DecodingError::typeMismatch("Dictionary<String, Any>", jsonTypeDescription(object));
}

bool KeyedDecodingContainer::contains(std::string_view key) const {
  return object_->is_object() && object_->find(key) != object_->end();
}

}  // namespace Foundation
