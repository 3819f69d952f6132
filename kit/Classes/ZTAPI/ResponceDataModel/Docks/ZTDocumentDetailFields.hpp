#pragma once

#include <cstdint>
#include <string>
#include <tuple>

#include "ZTNetworkCore/ZTRecordFields.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// The fields a document's detail and a list element share, for either record.
template <class R>
auto documentDetailFields() {
  return std::tuple{
      ZTRecordField{"id", &R::id},
      ZTRecordField{"createdAt", &R::createdAt},
      ZTRecordField{"status", &R::status},
      ZTRecordField{"documentType", &R::documentType},
      ZTRecordField{"description", &R::description},
      ZTRecordField{"imageId", &R::imageId},
      ZTRecordField{"imageHash", &R::imageHash},
      ZTRecordField{"mimeType", &R::mimeType},
      ZTRecordField{"backImageId", &R::backImageId},
      ZTRecordField{"backImageHash", &R::backImageHash},
      ZTRecordField{"backMimeType", &R::backMimeType},
      ZTRecordField{"firstName", &R::firstName},
      ZTRecordField{"lastName", &R::lastName},
      ZTRecordField{"number", &R::number},
      ZTRecordField{"dateOfBirth", &R::dateOfBirth},
      ZTRecordField{"dateOfIssue", &R::dateOfIssue},
      ZTRecordField{"dateOfExpiry", &R::dateOfExpiry},
      ZTRecordField{"issuingCountry", &R::issuingCountry},
      ZTRecordField{"issuingAuthority", &R::issuingAuthority},
      ZTRecordField{"issuingPlace", &R::issuingPlace},
      ZTRecordField{"address", &R::address},
  };
}

}  // namespace ZentrelSDK
