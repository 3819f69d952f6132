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
  using S = std::string;
  using I = std::int64_t;
  return std::tuple{
      ZTRecordField<R, S>{"id", &R::id},
      ZTRecordField<R, I>{"createdAt", &R::createdAt},
      ZTRecordField<R, ZTPublicConstants::DocumentStatusType>{"status", &R::status},
      ZTRecordField<R, ZTPublicConstants::DocumentType>{"documentType", &R::documentType},
      ZTRecordField<R, S>{"description", &R::description},
      ZTRecordField<R, S>{"imageId", &R::imageId},
      ZTRecordField<R, S>{"imageHash", &R::imageHash},
      ZTRecordField<R, S>{"mimeType", &R::mimeType},
      ZTRecordField<R, S>{"backImageId", &R::backImageId},
      ZTRecordField<R, S>{"backImageHash", &R::backImageHash},
      ZTRecordField<R, S>{"backMimeType", &R::backMimeType},
      ZTRecordField<R, S>{"firstName", &R::firstName},
      ZTRecordField<R, S>{"lastName", &R::lastName},
      ZTRecordField<R, S>{"number", &R::number},
      ZTRecordField<R, I>{"dateOfBirth", &R::dateOfBirth},
      ZTRecordField<R, I>{"dateOfIssue", &R::dateOfIssue},
      ZTRecordField<R, I>{"dateOfExpiry", &R::dateOfExpiry},
      ZTRecordField<R, S>{"issuingCountry", &R::issuingCountry},
      ZTRecordField<R, S>{"issuingAuthority", &R::issuingAuthority},
      ZTRecordField<R, S>{"issuingPlace", &R::issuingPlace},
      ZTRecordField<R, S>{"address", &R::address},
  };
}

}  // namespace ZentrelSDK
