#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentStatusLogResponse.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

namespace {

using R = ZTDocumentStatusLogResponseElement;

const auto kFields = std::tuple{ZTRecordField<R, std::string>{"reviewer", &R::reviewer},
                                ZTRecordField<R, std::string>{"status", &R::status},
                                ZTRecordField<R, std::int64_t>{"createdAt", &R::createdAt},
                                ZTRecordField<R, std::string>{"message", &R::message}};

}  // namespace

Foundation::Result<R, Foundation::DecodingError> R::decode(const nlohmann::json& json) {
  return decodeRecord(json, kFields);
}
void to_json(nlohmann::json& json, const R& value) {
  encodeRecord(json, value, kFields);
}
void from_json(const nlohmann::json& json, R& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
