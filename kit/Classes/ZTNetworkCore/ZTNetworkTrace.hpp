#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace ZentrelSDK {

// Texts of the network traces. They carry what helps to follow a request, never what could
// sign one in: query values, bodies and answers are reduced to sizes and key names.
class ZTNetworkTrace {
 public:
  // The URL with every query value replaced by "*" and without a fragment or user info.
  static std::string redactedURL(std::string_view url);
  static std::string request(std::string_view method, std::string_view url);
  static std::string requestBody(const nlohmann::json& body, std::size_t size);
  static std::string answer(int statusCode, const nlohmann::json& body, std::size_t size);
  static std::string redirect(std::string_view url);
  static std::string deinit(std::string_view url);

  // "N bytes" and, for an object, its top-level key names; for a list, its length.
  static std::string shape(const nlohmann::json& value, std::size_t size);
};

}  // namespace ZentrelSDK
