#pragma once

#include <optional>
#include <string>

#include <Foundation/Data.hpp>
#include <Foundation/Result.hpp>

#include "ZTAPI/ResponceDataModel/ZTError.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"
#include "ZTNetworkCore/ZTNetworkErrors.hpp"
#include "ZTNetworkCore/ZTResponse.hpp"

namespace ZentrelSDK {

// Turns answers the API clients receive into records or readable error values.
class ZTResponseHandler {
 public:
  struct ParseError {
    enum class Case { noData };
    Case kind = Case::noData;

    static ParseError noData() { return ParseError{}; }
    std::string localizedDescription() const;
    bool operator==(const ParseError&) const = default;
  };

  ZTResponseHandler() = default;

  // Absent bytes fail with ParseError::noData; otherwise the bytes are decoded as `parse` does
  // (snake_case keys to camelCase fields) and a decoding failure comes back unchanged.
  template <class T>
  static Foundation::Result<T, Error> parseData(const std::optional<Foundation::Data>& data) {
    if (!data) return Foundation::failure(Error(ParseError::noData()));
    auto result = parse<T>(*data);
    if (result.isFailure()) return Foundation::failure(Error(std::move(result).error()));
    return Foundation::success(std::move(result).value());
  }

  // 401 gives "unauthorized"; otherwise the status with the body read as UTF-8 text, "no data"
  // without bytes and "some wrong data" for bytes that are not UTF-8.
  static ZTOAuthError createReadableErrorMessage(const ZTResponse& response);
};

}  // namespace ZentrelSDK
