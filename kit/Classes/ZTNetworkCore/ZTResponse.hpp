#pragma once

#include <optional>

#include <Foundation/Data.hpp>

namespace ZentrelSDK {

// An HTTP answer as the API clients see it.
struct ZTResponse {
  int statusCode = 0;
  std::optional<Foundation::Data> data;  // the body as received

  bool operator==(const ZTResponse&) const = default;
};

}  // namespace ZentrelSDK
