// The three success-and-message answers share one shape and one field list.

#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentCreateResponse.hpp"
#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentDeleteResponse.hpp"
#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentUploadResponse.hpp"
#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

namespace {

template <class R>
auto successMessageFields() {
  return std::tuple{ZTRecordField{"success", &R::success}, ZTRecordField{"message", &R::message}};
}

}  // namespace

ZT_RECORD_CODING(ZTDocumentCreateResponse, successMessageFields<ZTDocumentCreateResponse>())
ZT_RECORD_CODING(ZTDocumentUploadResponse, successMessageFields<ZTDocumentUploadResponse>())
ZT_RECORD_CODING(ZTDocumentDeleteResponse, successMessageFields<ZTDocumentDeleteResponse>())

}  // namespace ZentrelSDK
