// The three success-and-message answers share one shape and one field list.

#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentCreateResponse.hpp"
#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentDeleteResponse.hpp"
#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentUploadResponse.hpp"
#include "ZTNetworkCore/ZTRecordFields.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

namespace {

template <class R>
auto successMessageFields() {
  return std::tuple{ZTRecordField<R, bool>{"success", &R::success},
                    ZTRecordField<R, std::string>{"message", &R::message}};
}

}  // namespace

#define ZT_SUCCESS_MESSAGE_CODING(R)                                                       \
  Foundation::Result<R, Foundation::DecodingError> R::decode(const nlohmann::json& json) { \
    return decodeRecord(json, successMessageFields<R>());                                  \
  }                                                                                        \
  void to_json(nlohmann::json& json, const R& value) {                                     \
    encodeRecord(json, value, successMessageFields<R>());                                  \
  }                                                                                        \
  void from_json(const nlohmann::json& json, R& value) {                                   \
    detail::decodeOrThrow(json, value);                                                    \
  }

ZT_SUCCESS_MESSAGE_CODING(ZTDocumentCreateResponse)
ZT_SUCCESS_MESSAGE_CODING(ZTDocumentUploadResponse)
ZT_SUCCESS_MESSAGE_CODING(ZTDocumentDeleteResponse)

#undef ZT_SUCCESS_MESSAGE_CODING

}  // namespace ZentrelSDK
