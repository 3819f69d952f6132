#pragma once

#include <exception>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include <Foundation/Data.hpp>
#include <Foundation/Result.hpp>

#include "ZTNetworkCore/ZTNetworkErrors.hpp"

namespace ZentrelSDK {

// Writes a body record as an application/x-www-form-urlencoded body: top-level names sorted,
// nested objects as name[key], list elements as name[], booleans as 1/0, and everything but
// letters, digits and -._~/? percent-encoded (brackets included).
class ZTUrlEncodedQuery {
 public:
  ZTUrlEncodedQuery() = default;

  // Fails with cannotEncodeParameters when the body's JSON form is not an object, holds text
  // that is not UTF-8, or cannot be produced at all.
  template <class Body>
  static Foundation::Result<Foundation::Data, ZTNetworkError> createRequest(const Body& body) {
    nlohmann::json json;
    try {
      json = body;
    } catch (const std::exception&) {
      return Foundation::failure(ZTNetworkError::cannotEncodeParameters());
    }
    return createRequest(json);
  }
  static Foundation::Result<Foundation::Data, ZTNetworkError> createRequest(
      const nlohmann::json& json);

 private:
  enum class BoolType { numeric, literal };
  enum class ArrayTypeEncoding { brackets, noBrackets };
  using Pairs = std::vector<std::pair<std::string, std::string>>;

  static std::string query(const nlohmann::json& parameters);
  static void queryComponents(const std::string& key, const nlohmann::json& value, Pairs& out);
  static std::string encodeArray(const std::string& key, ArrayTypeEncoding type);
  static std::string encodeBool(bool value, BoolType type);
  static std::string escape(const std::string& text);
};

}  // namespace ZentrelSDK
