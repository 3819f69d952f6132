#pragma once

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/JSONCoding.hpp>
#include <Foundation/Result.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

// The body of a call that sends nothing, and the answer of a call whose answer is ignored:
// the network core sends no body or query for it, and a 200 yields it without reading bytes.
struct EmptyBody {
  static constexpr const char* swiftTypeName = "EmptyBody";

  bool success = true;

  static Foundation::Result<EmptyBody, Foundation::DecodingError> decode(const nlohmann::json& j) {
    Foundation::KeyedDecodingContainer c(j);
    EmptyBody body;
    c.decode("success", body.success);
    return c.finish(body);
  }

  bool operator==(const EmptyBody&) const = default;
};

inline void to_json(nlohmann::json& j, const EmptyBody& body) {
  j = nlohmann::json{{"success", body.success}};
}
inline void from_json(const nlohmann::json& j, EmptyBody& body) {
  detail::decodeOrThrow(j, body);
}

}  // namespace ZentrelSDK
