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

namespace {

DecodingError notValidJSON() {
  return DecodingError::dataCorrupted("The given data was not valid JSON.");
}

// Brackets outside strings, counted without parsing: deep text never reaches a parser or a
// walk at all.
bool nestsTooDeeply(std::string_view text) {
  int depth = 0;
  bool inString = false;
  bool escaped = false;
  for (const char c : text) {
    if (inString) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxJSONDepth) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

// False when `value` nests deeper than the limit allows below `depth`.
bool convertKeys(const nlohmann::json& value, int depth, nlohmann::json& out) {
  if (!value.is_structured()) {
    out = value;
    return true;
  }
  if (depth >= kMaxJSONDepth) return false;
  if (value.is_object()) {
    out = nlohmann::json::object();
    for (const auto& [key, item] : value.items()) {
      auto converted = convertFromSnakeCase(key);
      if (out.contains(converted)) continue;
      if (!convertKeys(item, depth + 1, out[std::move(converted)])) return false;
    }
  } else {
    out = nlohmann::json::array();
    for (const auto& item : value) {
      if (!convertKeys(item, depth + 1, out.emplace_back())) return false;
    }
  }
  return true;
}

}  // namespace

Result<nlohmann::json, DecodingError> convertingKeysFromSnakeCase(const nlohmann::json& value) {
  nlohmann::json out;
  if (!convertKeys(value, 0, out)) return failure(notValidJSON());
  return success(std::move(out));
}

Result<nlohmann::json, DecodingError> parseJSON(std::string_view text) {
  if (nestsTooDeeply(text)) return failure(notValidJSON());
  auto json = nlohmann::json::parse(text, nullptr, false);
  if (json.is_discarded()) return failure(notValidJSON());
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
